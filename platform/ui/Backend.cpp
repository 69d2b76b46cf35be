#include "ui/Backend.h"

#include <cstdio>

#include "ui/MessageBox.h"

namespace ui {
namespace {

Backend* g_installed = nullptr;

}  // namespace

void InstallBackend(Backend* backend) { g_installed = backend; }

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

}  // namespace ui
