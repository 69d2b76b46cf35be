// CQuenbyApp: the application object of the program Quenby. Its InitInstance runs
// the whole program as one sequence of modal steps on the only thread and always
// returns FALSE, so that the framework ends the process afterwards:
//
//   single-instance check (exit A: another copy runs; its window is restored)
//   CoInitialize, "Before try"
//   guarded block: "In try", the password gate (exit B: the enter-password dialog
//     was cancelled), the pages deciphered, the main window run modally
//   clean-up: CoUninitialize, the pages deleted, the mutex closed (exit C; after an
//     exception the catch-all message first, exit D)
//
// Trace lines go to the debug channel (OutputDebugStringA) exactly as the sequence
// writes them; qbdebugview shows them.
//
// The pages: Resources/{mn,tp,dn,fs}.tfl of the install folder are deciphered into
// main.htm, top.htm, down.htm and frameset.htm beside them (mode 0600) for the
// length of a run, and deleted at its end.
//
// Lifetime: one object per process (tests make their own, one at a time).
// Thread: the UI thread.
#pragma once

#include "WinApp.h"
#include "system/Handle.h"

class CQuenbyApp : public CWinApp {
  public:
    CQuenbyApp();
    ~CQuenbyApp() override;

    BOOL InitInstance() override;

    // TRUE when another copy runs (or the mutex cannot be created); then that copy's
    // main window, if it has one, is brought to the front and restored.
    BOOL IsAlreadyRunning();

    // Deciphers the four pages into the Resources folder; lets CryptException (and
    // the file layer's exceptions) through. A page left by an earlier run is replaced.
    void DeCryptHTMLPages();
    // Deletes the four deciphered pages, whichever exist. Never fails.
    void DeleteHTMLPages();

    HANDLE m_hMutex;

  private:
    // The master-password gate. False when the user gave up (the program ends).
    bool PassPasswordGate();
    void RunMainWindow();
    void CleanUp();
};
