#include "ui/Backend.h"

#include <cstdio>

#include "ui/DialogTemplate.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"

namespace ui {
namespace {

Backend* g_installed = nullptr;

}  // namespace

void InstallBackend(Backend* backend) {
    g_installed = backend;
}

Backend& CurrentBackend() {
    static DefaultBackend fallback;
    return g_installed != nullptr ? *g_installed : fallback;
}

int DefaultBackend::ShowMessageBox(const MessageBoxRequest& request) {
    const int answer = DefaultButtonOf(request.type);
    std::fprintf(stderr, "[%s] %s (flags 0x%X; answered %s)\n", request.caption.c_str(),
                 request.text.c_str(), request.type, ButtonName(answer));
    std::fflush(stderr);
    return answer;
}

int DefaultBackend::RunModalDialog(const DialogTemplate& dialogTemplate, DialogClient&) {
    std::fprintf(stderr, "[%s] dialog %d not shown (no user interface); cancelled\n",
                 dialogTemplate.caption.c_str(), dialogTemplate.id);
    std::fflush(stderr);
    return IDCANCEL;
}

int DefaultBackend::ShowFileDialog(const FileDialogRequest& request, std::string& path) {
    std::fprintf(stderr, "[%s] file dialog for \"%s\" not shown (no user interface); cancelled\n",
                 request.open ? "Open" : "Save As", request.initialName.c_str());
    std::fflush(stderr);
    path.clear();
    return IDCANCEL;
}

}  // namespace ui
