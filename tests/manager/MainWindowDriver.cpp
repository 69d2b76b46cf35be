#include "MainWindowDriver.h"

#include "ProgramResources.h"
#include "ui/MessageBox.h"

int MainWindowDriver::ShowMessageBox(const ui::MessageBoxRequest& request) {
    if (onMessageBox_) {
        onMessageBox_();
    }
    return scripted_.ShowMessageBox(request);
}

int MainWindowDriver::RunModalDialog(const ui::DialogTemplate& dialogTemplate,
                                     ui::DialogClient& client) {
    if (dialogTemplate.id != IDD_QUENBY_DIALOG) {
        return scripted_.RunModalDialog(dialogTemplate, client);
    }
    ui::ScriptedDialog window(dialogTemplate, scripted_, client);
    client.AttachWindow(&window);
    // An action may throw; the dialog object must not keep pointing at this window.
    struct Detach {
        ui::DialogClient& client;
        ~Detach() { client.AttachWindow(nullptr); }
    } detach{client};
    client.HandleInitDialog();
    site_.Log("Main window shown");
    while (!window.ended() && !actions_.empty()) {
        const Action action = std::move(actions_.front());
        actions_.pop_front();
        action(window);
    }
    if (!window.ended()) {
        window.UserClose();
        while (!window.ended() && site_.browser().Complete()) {
        }
    }
    if (!window.ended()) {
        site_.Log("Main window forced to end");
        window.End(IDCANCEL);
    }
    site_.Log("Main window ended " + std::to_string(window.result()));
    return window.result();
}
