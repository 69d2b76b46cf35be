// The program Quenby: the Qt application, the Qt UI backend, the browser control's
// process set-up and the window site around CQuenbyApp, the one application object.
#include <QApplication>

#include "EndOnSignals.h"
#include "ProgramHtml.h"
#include "ProgramResources.h"
#include "QtWindowSite.h"
#include "QuenbyApp.h"
#include "browser/BrowserProcess.h"
#include "browser/ResourceSchemeHandler.h"
#include "ui/ModuleState.h"
#include "ui/qt/QtBackend.h"

CQuenbyApp theApp;

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
