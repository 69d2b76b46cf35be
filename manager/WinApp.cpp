#include "WinApp.h"

CWinApp::CWinApp() = default;

CWinApp::~CWinApp() = default;

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return 0;
}

int CWinApp::Run() {
    return ExitInstance();
}

int AfxWinMain(CWinApp& app) {
    if (!app.InitInstance()) {
        return app.ExitInstance();
    }
    return app.Run();
}
