#include "WindowSite.h"

#include "ui/ModuleState.h"
#include "ui/Resources.h"

namespace {

CWindowSite* g_site = nullptr;

}  // namespace

void InstallWindowSite(CWindowSite* site) {
    g_site = site;
}

CWindowSite* CurrentWindowSite() {
    return g_site;
}

void AfxEnableControlContainer() {
    if (g_site != nullptr) {
        g_site->EnableControlContainer();
    }
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return g_site != nullptr ? g_site->DefWindowProc(window, message, wParam, lParam) : 0;
}

HMENU GetSystemMenu(HWND window, BOOL /*revert*/) {
    return g_site != nullptr && window != nullptr ? g_site->GetSystemMenu(window) : nullptr;
}

BOOL IsIconic(HWND window) {
    return g_site != nullptr && window != nullptr ? g_site->IsIconic(window) : FALSE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
    if (rect == nullptr || g_site == nullptr || window == nullptr) {
        return FALSE;
    }
    return g_site->GetClientRect(window, rect);
}

int GetSystemMetrics(int index) {
    return g_site != nullptr ? g_site->GetSystemMetrics(index) : 0;
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) {
    if (g_site == nullptr || dc == nullptr || icon == nullptr) {
        return FALSE;
    }
    return g_site->DrawIcon(dc, x, y, icon);
}

HICON LoadIconA(HINSTANCE module, int id) {
    if (module == nullptr) {
        const ui::ResourceTable* table = ui::ProgramModule().resources;
        return table != nullptr ? table->Icon(id) : nullptr;
    }
    return ui::FindIcon(id);
}

CPaintDC::CPaintDC(HWND window)
    : m_hWnd(window),
      m_hDC(g_site != nullptr && window != nullptr ? g_site->BeginPaint(window) : nullptr) {}

CPaintDC::~CPaintDC() {
    if (m_hDC != nullptr && g_site != nullptr) {
        g_site->EndPaint(m_hWnd, m_hDC);
    }
}
