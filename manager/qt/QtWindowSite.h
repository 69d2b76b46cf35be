// The window site of the program on Qt: browser controls are browser::WebBrowser
// widgets made by the Qt backend's control factory, and a running dialog becomes a
// top-level window through sysqt::WidgetWindow.
//
// What the site adds to a window it attaches (QtMainWindow.h):
// - a normal top-level window (with a taskbar entry) when the template asks for
//   WS_EX_APPWINDOW, instead of a dialog window;
// - the system menu: window managers keep their own menu of the frame to
//   themselves, so Alt+Space opens ours (the standard entries and what the program
//   appended), at the window's top left corner;
// - Enter that the page did not use is dropped: the browser control takes the key,
//   it never presses a button of the window;
// - WM_PAINT for every paint of the window itself, with a context that can draw icons
//   while the window is minimised.
// A right click on the window frame cannot open the menu: the frame belongs to the
// window manager, whose own menu appears there.
//
// Ownership: the program owns the site and the backend; the backend must outlive the
// site. Thread: the GUI thread.
#pragma once

#include <map>

#include "WindowSite.h"
#include "ui/qt/QtBackend.h"

class QtMainWindow;

class QtWindowSite : public CWindowSite {
  public:
    explicit QtWindowSite(ui::qt::QtBackend& backend);
    ~QtWindowSite() override;

    void EnableControlContainer() override;
    CBrowserControl* BrowserOf(CDialog& dialog, int id) override;

    HWND AttachWindow(CDialog& dialog, const std::string& caption, WindowProc proc) override;
    void DetachWindow(HWND window) override;
    LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    HMENU GetSystemMenu(HWND window) override;
    BOOL IsIconic(HWND window) override;
    BOOL GetClientRect(HWND window, RECT* rect) override;
    int GetSystemMetrics(int index) override;
    HDC BeginPaint(HWND window) override;
    void EndPaint(HWND window, HDC dc) override;
    BOOL DrawIcon(HDC dc, int x, int y, HICON icon) override;

    // The window of a handle this site attached, or null.
    QtMainWindow* Find(HWND window) const;

  private:
    ui::qt::QtBackend& backend_;
    std::map<HWND, QtMainWindow*> windows_;
};
