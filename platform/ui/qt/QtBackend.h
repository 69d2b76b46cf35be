// The Qt backend of our UI calls: dialogs become QDialogs (QtDialog.h), message
// boxes QMessageBoxes (QtMessageBox.h), file dialogs QFileDialogs (QtFileDialog.h).
//
// Custom controls of templates (such as the browser control of the main window)
// are made by factories registered under their class name; a class without one
// shows an empty area.
//
// Ownership: the program owns the backend and installs it with ui::InstallBackend
// after creating its QApplication, and uninstalls it before the application goes.
// Thread: the GUI thread only.
#pragma once

#include <string>

#include "ui/Backend.h"
#include "ui/qt/QtDialog.h"

namespace ui::qt {

class QtBackend : public Backend {
  public:
    void RegisterControlClass(const std::string& className, ControlFactory factory);

    int ShowMessageBox(const MessageBoxRequest& request) override;
    int RunModalDialog(const DialogTemplate& dialogTemplate, DialogClient& client) override;
    int ShowFileDialog(const FileDialogRequest& request, std::string& path) override;

  private:
    ControlFactories factories_;
};

}  // namespace ui::qt
