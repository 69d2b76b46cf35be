// The single-instance rule: the named mutex marks a running copy, and the running
// copy's main window is found by its caption. (The object runtime's headers and the
// system's last-error codes do not go into one file, hence a file of its own.)
#include "QuenbyApp.h"
#include "system/LastError.h"
#include "system/Mutex.h"
#include "system/Window.h"

namespace {

constexpr const char* kMutexName = "QUENBY_MAIN_GUI";
constexpr const char* kMainWindowCaption = "Welcome to Quenby";

}  // namespace

BOOL CQuenbyApp::IsAlreadyRunning() {
    m_hMutex = CreateMutexA(nullptr, FALSE, kMutexName);
    if (m_hMutex == nullptr || GetLastError() == static_cast<DWORD>(ERROR_ALREADY_EXISTS)) {
        if (HWND hWnd = FindWindowA(nullptr, kMainWindowCaption)) {
            SetForegroundWindow(hWnd);
            SendMessageA(hWnd, WM_SYSCOMMAND, SC_RESTORE, 0);
        }
        return TRUE;
    }
    return FALSE;
}
