#include "ui/qt/QtBackend.h"

#include "ui/qt/QtFileDialog.h"
#include "ui/qt/QtMessageBox.h"

namespace ui::qt {

void QtBackend::RegisterControlClass(const std::string& className, ControlFactory factory) {
    factories_[className] = std::move(factory);
}

int QtBackend::ShowMessageBox(const MessageBoxRequest& request) {
    return ShowQtMessageBox(request);
}

int QtBackend::RunModalDialog(const DialogTemplate& dialogTemplate, DialogClient& client) {
    QtDialog dialog(dialogTemplate, client, factories_);
    return dialog.Run();
}

int QtBackend::ShowFileDialog(const FileDialogRequest& request, std::string& path) {
    return ShowQtFileDialog(request, path);
}

}  // namespace ui::qt
