#include "QuenbyApp.h"

#include "PasswordDlg.h"
#include "QuenbyDlg.h"
#include "Settings.h"
#include "WindowSite.h"
#include "com/Runtime.h"
#include "system/DebugChannel.h"
#include "ui/MessageBox.h"

CQuenbyApp::CQuenbyApp() : m_hMutex(nullptr) {}

CQuenbyApp::~CQuenbyApp() = default;

BOOL CQuenbyApp::InitInstance() {
    AfxEnableControlContainer();

    if (IsAlreadyRunning()) {
        return FALSE;  // exit A
    }

    CoInitialize(nullptr);
    OutputDebugStringA("Before try");
    try {
        OutputDebugStringA("In try");
        if (!PassPasswordGate()) {
            return FALSE;  // exit B: nothing deciphered, nothing to clean up
        }
        DeCryptHTMLPages();
        OutputDebugStringA("After \tDeCryptHTMLPages();");
        RunMainWindow();
    } catch (...) {
        MessageBoxA(nullptr, "Unhandled exception in CQuenbyApp::InitInstance()", "Quenby",
                    MB_ICONWARNING);
    }
    CleanUp();
    return FALSE;  // exit C, or D after the message
}

bool CQuenbyApp::PassPasswordGate() {
    if (IsFirstRun()) {
        CPasswordDlg PDlg(eSET);
        PDlg.DoModal();  // Cancel goes on without a password as well
        OutputDebugStringA("After PDlg.DoModal()");
        return true;
    }
    if (IsPasswordSet()) {
        CPasswordDlg PDlg(eENTER);
        // Only an accepted password opens the pages: a dialog that could not be shown
        // at all (-1) counts as a refusal, like Cancel.
        if (PDlg.DoModal() != IDOK) {
            return false;
        }
        OutputDebugStringA("After \tif (PDlg.DoModal() == IDCANCEL) return FALSE");
    }
    return true;
}

void CQuenbyApp::RunMainWindow() {
    CQuenbyDlg dlg;
    // The application's main window while the dialog runs, also when it throws.
    struct MainWindow {
        CDialog*& slot;
        ~MainWindow() { slot = nullptr; }
    } registration{m_pMainWnd = &dlg};
    dlg.DoModal();
    OutputDebugStringA("After dlg.DoModal()");
}

void CQuenbyApp::CleanUp() {
    CoUninitialize();
    DeleteHTMLPages();
    if (m_hMutex != nullptr) {
        CloseHandle(m_hMutex);
        m_hMutex = nullptr;
    }
}
