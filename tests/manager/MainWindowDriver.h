// A UI backend for the start-up tests: the password dialogs, message boxes and the
// About box go to a ScriptedBackend (its transcript records them); the main window
// (template 102) runs a list of test actions instead of user steps, so a test can
// let the browser complete a load, send the window a message or press a key, in any
// order.
//
// When the actions run out and the window is still open, the driver uses the close
// box and lets the browser complete what it loads; a window that still does not end
// is ended with IDCANCEL and "Main window forced to end" is logged, so a test never
// hangs.
//
// Thread: the test's thread.
#pragma once

#include <deque>
#include <functional>

#include "HeadlessSite.h"
#include "ui/ScriptedBackend.h"
#include "ui/ScriptedDialog.h"

class MainWindowDriver : public ui::Backend {
  public:
    using Action = std::function<void(ui::ScriptedDialog& window)>;

    MainWindowDriver(ui::ScriptedBackend& scripted, HeadlessSite& site)
        : scripted_(scripted), site_(site) {}

    void Queue(Action action) { actions_.push_back(std::move(action)); }
    // Called when a message box is about to be shown (before it is answered).
    void OnMessageBox(std::function<void()> hook) { onMessageBox_ = std::move(hook); }

    int ShowMessageBox(const ui::MessageBoxRequest& request) override;
    int RunModalDialog(const ui::DialogTemplate& dialogTemplate, ui::DialogClient& client) override;
    int ShowFileDialog(const ui::FileDialogRequest& request, std::string& path) override {
        return scripted_.ShowFileDialog(request, path);
    }

    std::size_t PendingActions() const { return actions_.size(); }

  private:
    ui::ScriptedBackend& scripted_;
    HeadlessSite& site_;
    std::deque<Action> actions_;
    std::function<void()> onMessageBox_;
};
