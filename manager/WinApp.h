// CWinApp: the application object of a dialog-based program, as far as Quenby uses
// it. The program's one application object is a global; main() hands it to
// AfxWinMain, which runs InitInstance and, when that returns FALSE (as ours always
// does), ExitInstance, whose result is the process exit code.
//
// There is no message loop of the framework's own: a dialog-based program runs its
// windows modally inside InitInstance.
// Thread: the program's only (UI) thread.
#pragma once

#include "WinTypes.h"

class CDialog;

class CWinApp {
  public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    // The exit code of the process; 0 unless a subclass decides otherwise.
    virtual int ExitInstance();
    // The framework's own loop; never reached by a program whose InitInstance
    // returns FALSE.
    virtual int Run();

    // The main window while it runs (not owned); null otherwise.
    CDialog* m_pMainWnd = nullptr;
};

// Runs the application: InitInstance, then Run when it returned TRUE, else
// ExitInstance. Returns the process exit code.
int AfxWinMain(CWinApp& app);
