// The seam between our UI calls and whatever shows them.
//
// A process installs one backend (the Qt one in the programs, a ScriptedBackend in
// tests). A process that installs none gets the default backend: every message box
// is answered with its default button, every dialog and file dialog is cancelled,
// and each is printed to stderr, so a headless run never blocks and never hides
// what it would have shown.
//
// Ownership: InstallBackend does not take ownership; the caller keeps the backend
// alive until it installs another one (or nullptr for the default) again.
// Thread: install and use from the UI thread.
#pragma once

#include <string>

#include "WinTypes.h"

namespace ui {

struct DialogTemplate;
class DialogClient;
struct FileDialogRequest;

struct MessageBoxRequest {
    HWND owner = nullptr;
    std::string text;
    std::string caption;
    UINT type = 0;
};

class Backend {
  public:
    virtual ~Backend() = default;
    // Shows a message box; returns the id of the button that ended it.
    virtual int ShowMessageBox(const MessageBoxRequest& request) = 0;
    // Builds a dialog from `dialogTemplate`, attaches it to `client`, runs the client's
    // initialisation and then a modal loop that hands the user's actions to `client`
    // until it ends the dialog; detaches and returns the result it ended with.
    virtual int RunModalDialog(const DialogTemplate& dialogTemplate, DialogClient& client) = 0;
    // Shows a file dialog. IDOK with the chosen full path in `path`, or IDCANCEL.
    virtual int ShowFileDialog(const FileDialogRequest& request, std::string& path) = 0;
};

void InstallBackend(Backend* backend);
Backend& CurrentBackend();

// Answers every box with its default button, cancels every dialog, and writes each
// to stderr.
class DefaultBackend : public Backend {
  public:
    int ShowMessageBox(const MessageBoxRequest& request) override;
    int RunModalDialog(const DialogTemplate& dialogTemplate, DialogClient& client) override;
    int ShowFileDialog(const FileDialogRequest& request, std::string& path) override;
};

// Installs a backend for the lifetime of a scope (tests, programs).
class ScopedBackend {
  public:
    explicit ScopedBackend(Backend& backend) { InstallBackend(&backend); }
    ~ScopedBackend() { InstallBackend(nullptr); }
    ScopedBackend(const ScopedBackend&) = delete;
    ScopedBackend& operator=(const ScopedBackend&) = delete;
};

}  // namespace ui
