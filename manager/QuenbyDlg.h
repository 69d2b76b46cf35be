// CQuenbyDlg: the main window, "Welcome to Quenby" (template 102). Its whole client
// area is the browser control 1002, which shows Resources/frameset.htm of the
// install folder. The window adds four things of its own:
//
// - an orderly close: a close request (the close box, Alt+F4, Close in the system
//   menu, WM_CLOSE from another process) loads the blank page first and ends the
//   dialog with IDCANCEL at the next completed document, so the pages and the
//   objects they hold are gone while the window still exists. Escape does nothing,
//   unless a close is pending, which it then ends at once;
// - "&About Quenby..." (IDM_ABOUTBOX) below the standard entries of its system menu;
// - WM_RELOADPAGES (0x0505) from any process: reload the frameset, come to the front;
// - the icon 139, drawn centred in the client area while minimised.
//
// The window is found by other processes by its caption while the dialog runs; a
// second copy of the program sends it WM_SYSCOMMAND SC_RESTORE, which the default
// processing handles.
//
// Lifetime: constructed, run with DoModal once and destroyed by the start-up
// sequence. Thread: the UI thread; messages from other processes arrive on it.
#pragma once

#include <string>

#include "WebBrowser2.h"
#include "WindowSite.h"
#include "ui/Dialog.h"

constexpr UINT IDM_ABOUTBOX = 0x0010;
constexpr UINT WM_RELOADPAGES = WM_USER + 0x105;  // 0x0505

class CQuenbyDlg : public CDialog {
  public:
    explicit CQuenbyDlg(HWND pParent = nullptr);
    ~CQuenbyDlg() override;

    // Runs the dialog; the window can no longer be found once this returns.
    int DoModal() override;

    // The window procedure: every message sent or posted to the window.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    HWND GetSafeHwnd() const { return m_hWnd; }
    BOOL IsClosing() const { return m_bClosing; }

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnClose() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HICON OnQueryDragIcon();
    LRESULT OnReloadPages(WPARAM wParam, LPARAM lParam);
    void OnDocumentComplete(void* pDisp, const std::string& URL);

    void NavigateToPages();
    void NavigateToBlankPage();

    CWebBrowser2 m_browser;
    HICON m_hIcon;
    BOOL m_bClosing;

  private:
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
};

// Where the icon goes in a minimised window's client area of the given size.
struct IconOrigin {
    int x = 0;
    int y = 0;
};
IconOrigin CenteredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight);
