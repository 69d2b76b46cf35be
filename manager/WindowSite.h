// The main window's side of the toolkit: what the platform gives every top-level
// window and the control container gives a dialog with an embedded control, beyond
// the modal dialogs of platform/ui.
//
// - The control container (AfxEnableControlContainer) makes the browser control of a
//   template real; BrowserOf finds it in a running dialog.
// - A running dialog becomes a top-level window that other processes find by its
//   caption (FindWindowA) and send messages to; its window procedure gets them, and
//   DefWindowProcA does the default processing: WM_SETICON sets the window's icon,
//   WM_SYSCOMMAND restores, minimises, moves, closes (by sending WM_CLOSE) and shows
//   the system menu (SC_KEYMENU, as Alt+Space sends it).
// - The window's system menu (GetSystemMenu), minimised state, client rectangle,
//   icon metrics and a paint context that can draw icons.
//
// One site is installed per process (the Qt one in the program, a headless one in
// tests), as the UI backend is. With none installed, the calls do nothing: no
// browser control, no window, nothing painted.
//
// Ownership: InstallWindowSite does not take ownership; the installer keeps the site
// alive until it installs another (or nullptr). Window and menu handles stay valid
// until DetachWindow.
// Thread: the UI thread only.
#pragma once

#include <string>

#include "BrowserControl.h"
#include "Menu.h"
#include "WinTypes.h"
#include "system/Window.h"
#include "ui/DeviceContext.h"

class CDialog;
namespace ui {
struct IconResource;
}

// An icon of the current module's resources (LoadIconA); it lives as long as the
// module's resource table.
using HICON = const ui::IconResource*;

constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;

class CWindowSite {
  public:
    virtual ~CWindowSite() = default;

    // From now on the browser controls of templates are made (AfxEnableControlContainer).
    virtual void EnableControlContainer() = 0;
    // The browser control `id` of a running dialog; null when the dialog has none (or
    // the container was never enabled).
    virtual CBrowserControl* BrowserOf(CDialog& dialog, int id) = 0;

    // Makes the running dialog a top-level window found by `caption`; messages go to
    // proc. Null when that fails (then nobody else can reach the window).
    virtual HWND AttachWindow(CDialog& dialog, const std::string& caption, WindowProc proc) = 0;
    // Ends the registration; the dialog's window handle is invalid afterwards.
    virtual void DetachWindow(HWND window) = 0;
    virtual LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;

    virtual HMENU GetSystemMenu(HWND window) = 0;
    virtual BOOL IsIconic(HWND window) = 0;
    virtual BOOL GetClientRect(HWND window, RECT* rect) = 0;
    virtual int GetSystemMetrics(int index) = 0;
    // A context for painting the window now (null when it cannot be painted now);
    // EndPaint ends it.
    virtual HDC BeginPaint(HWND window) = 0;
    virtual void EndPaint(HWND window, HDC dc) = 0;
    virtual BOOL DrawIcon(HDC dc, int x, int y, HICON icon) = 0;
};

void InstallWindowSite(CWindowSite* site);
// The installed site, or null.
CWindowSite* CurrentWindowSite();

class ScopedWindowSite {
  public:
    explicit ScopedWindowSite(CWindowSite& site) { InstallWindowSite(&site); }
    ~ScopedWindowSite() { InstallWindowSite(nullptr); }
    ScopedWindowSite(const ScopedWindowSite&) = delete;
    ScopedWindowSite& operator=(const ScopedWindowSite&) = delete;
};

// The platform calls, through the installed site.
void AfxEnableControlContainer();
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// revert is accepted for the call's shape; the menu is never reset.
HMENU GetSystemMenu(HWND window, BOOL revert);
BOOL IsIconic(HWND window);
BOOL GetClientRect(HWND window, RECT* rect);
int GetSystemMetrics(int index);
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);
// Icon `id` of the program's resources (module null) or of the current module; null
// when there is none.
HICON LoadIconA(HINSTANCE module, int id);

// A paint context for the length of a scope (what CPaintDC is); m_hDC is null when
// the window cannot be painted now.
class CPaintDC {
  public:
    explicit CPaintDC(HWND window);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HWND m_hWnd;
    HDC m_hDC;
};
