// A headless window site for the manager's tests: a stand-in for the browser control
// that loads nothing until the test lets a navigation complete, and a main window
// that registers its caption like the real one and records what is done to it.
//
// FakeBrowser: Navigate queues the URL. Complete() finishes the oldest queued load:
// for a file URL it reads the file and reports each <frame src="..."> first and then
// the document itself, as the real control does; anything else (a missing file, the
// res: blank page) reports the top document only.
//
// HeadlessSite::log() holds one line per thing done to the window, in order:
//   "Attach Welcome to Quenby", "SetIcon big 139", "Default WM_SYSCOMMAND 0xF120",
//   "Restore", "Raise", "DrawIcon 361 221 139", "Detach", "Navigate <url>",
//   "DocumentComplete <url> frame|top".
//
// Thread: the test's thread.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "WindowSite.h"

class HeadlessSite;

class FakeBrowser : public CBrowserControl {
  public:
    explicit FakeBrowser(HeadlessSite& site) : site_(site) {}

    void Navigate(const std::string& url) override;
    void SetDocumentCompleteHandler(DocumentCompleteHandler handler) override;

    // Finishes the oldest waiting load; false when none waits.
    bool Complete();
    std::size_t Pending() const { return pending_.size(); }
    const std::vector<std::string>& navigations() const { return navigations_; }

  private:
    HeadlessSite& site_;
    DocumentCompleteHandler handler_;
    std::deque<std::string> pending_;
    std::vector<std::string> navigations_;
};

class HeadlessSite : public CWindowSite {
  public:
    HeadlessSite();
    ~HeadlessSite() override;

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

    FakeBrowser& browser() { return browser_; }
    HWND window() const { return window_; }
    const MENU& menu() const { return menu_; }
    const std::vector<std::string>& log() const { return log_; }
    void Log(std::string line) { log_.push_back(std::move(line)); }
    void SetClientSize(int width, int height) { width_ = width, height_ = height; }

  private:
    bool enabled_ = false;
    FakeBrowser browser_;
    HWND window_ = nullptr;
    MENU menu_;
    bool minimized_ = false;
    int width_ = 754;
    int height_ = 474;
    ui::RecordingDeviceContext dc_;
    std::vector<std::string> log_;
};
