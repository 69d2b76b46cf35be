// The seam between our UI calls and whatever shows them.
//
// A process installs one backend (the Qt one in the programs, a ScriptedBackend in
// tests). A process that installs none gets the default backend: every message box
// is answered with its default button and printed to stderr, so a headless run never
// blocks and never hides what it would have shown.
//
// Ownership: InstallBackend does not take ownership; the caller keeps the backend
// alive until it installs another one (or nullptr for the default) again.
// Thread: install and use from the UI thread.
#pragma once

#include <string>

#include "WinTypes.h"

namespace ui {

struct MessageBoxRequest {
    HWND owner = nullptr;
    std::string text;
    std::string caption;
    UINT type = 0;
};

class Backend {
public:
    virtual ~Backend() = default;
    virtual int ShowMessageBox(const MessageBoxRequest& request) = 0;
};

void InstallBackend(Backend* backend);
Backend& CurrentBackend();

// Answers every box with its default button and writes it to stderr.
class DefaultBackend : public Backend {
public:
    int ShowMessageBox(const MessageBoxRequest& request) override;
};

}  // namespace ui
