// The program Quenby: the Qt application, the Qt UI backend, the browser control's
// process set-up and the window site around CQuenbyApp, the one application object.
#include <QApplication>

#include "EndOnSignals.h"
#include "ProgramResources.h"
#include "QtWindowSite.h"
#include "QuenbyApp.h"
#include "browser/BrowserProcess.h"
#include "browser/ResourceSchemeHandler.h"
#include "system/ModuleFile.h"
#include "ui/ModuleState.h"
#include "ui/qt/QtBackend.h"

CQuenbyApp theApp;

namespace {

// res://<this program>/<id>: the program's own HTML resources (the blank page).
std::optional<std::string> ProgramHtml(const std::string& modulePath, int id) {
    char path[260];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    if (length == 0 || length >= sizeof(path) || modulePath != path) {
        return std::nullopt;
    }
    const ui::RawResource* page = ui::ProgramModule().resources->Raw(ui::RT_HTML, id);
    return page != nullptr ? std::optional<std::string>(page->bytes) : std::nullopt;
}

}  // namespace

int main(int argc, char* argv[]) {
    ui::ProgramModule().resources = &ProgramResourceTable();
    browser::PrepareBrowserProcess();
    QApplication application(argc, argv);
    // Windows come and go between the modal steps (password dialog, main window);
    // the program ends when InitInstance returns, not when a window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    browser::SetResourceProvider(ProgramHtml);
    EndRunOnSignals();

    ui::qt::QtBackend backend;
    ui::ScopedBackend backendScope(backend);
    QtWindowSite site(backend);
    ScopedWindowSite siteScope(site);

    const int exitCode = AfxWinMain(theApp);
    browser::SetResourceProvider({});
    return exitCode;
}
