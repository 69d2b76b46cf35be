#include "QuenbyDlg.h"

#include "AboutDlg.h"
#include "InstallFolder.h"
#include "ProgramResources.h"
#include "browser/BrowserUrls.h"
#include "system/ModuleFile.h"
#include "ui/MessageBox.h"
#include "ui/Resources.h"

namespace {

constexpr const char* kCaption = "Welcome to Quenby";
constexpr int kMaxPath = 260;

}  // namespace

IconOrigin CenteredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight) {
    // Integer division truncates towards zero, also for a client smaller than the icon.
    return IconOrigin{(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}

CQuenbyDlg::CQuenbyDlg(HWND pParent)
    : CDialog(IDD_QUENBY_DIALOG, pParent),
      m_hIcon(LoadIconA(nullptr, IDI_QUENBY)),
      m_bClosing(FALSE) {}

CQuenbyDlg::~CQuenbyDlg() = default;

int CQuenbyDlg::DoModal() {
    // When the dialog ends (or something throws through it), the window can no
    // longer be found and the control is gone.
    struct Ended {
        CQuenbyDlg& dlg;
        ~Ended() {
            if (dlg.m_hWnd != nullptr) {
                if (CWindowSite* site = CurrentWindowSite()) {
                    site->DetachWindow(dlg.m_hWnd);
                }
                dlg.m_hWnd = nullptr;
            }
            dlg.m_browser.Attach(nullptr);
        }
    } ended{*this};
    return CDialog::DoModal();
}

void CQuenbyDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_BROWSER, m_browser);
}

BOOL CQuenbyDlg::OnInitDialog() {
    if (CWindowSite* site = CurrentWindowSite()) {
        m_hWnd = site->AttachWindow(*this, kCaption,
                                    [this](HWND, UINT message, WPARAM wParam, LPARAM lParam) {
                                        return WindowProc(message, wParam, lParam);
                                    });
    }
    CDialog::OnInitDialog();
    if (CBrowserControl* control = m_browser.GetControl()) {
        control->SetDocumentCompleteHandler(
            [this](const std::string& url, bool) { OnDocumentComplete(nullptr, url); });
    }

    // "About..." goes below the standard entries of the system menu.
    if (HMENU pSysMenu = GetSystemMenu(m_hWnd, FALSE)) {
        std::string strAboutMenu;
        ui::LoadString(IDS_ABOUTBOX, strAboutMenu);
        if (!strAboutMenu.empty()) {
            AppendMenuA(pSysMenu, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(pSysMenu, MF_STRING, IDM_ABOUTBOX, strAboutMenu.c_str());
        }
    }

    // The same icon serves as the large and the small one.
    const LPARAM icon = reinterpret_cast<LPARAM>(m_hIcon);
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, icon);
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, icon);

    NavigateToPages();
    return TRUE;
}

LRESULT CQuenbyDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsRunning()) {
        return 0;  // the dialog has ended; nothing is left to act on
    }
    switch (message) {
        case WM_SYSCOMMAND:
            OnSysCommand(static_cast<UINT>(wParam), lParam);
            return 0;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<LRESULT>(OnQueryDragIcon());
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_RELOADPAGES:
            return OnReloadPages(wParam, lParam);
        default:
            return Default(message, wParam, lParam);
    }
}

LRESULT CQuenbyDlg::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(m_hWnd, message, wParam, lParam);
}

void CQuenbyDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else {
        Default(WM_SYSCOMMAND, nID, lParam);
    }
}

void CQuenbyDlg::OnPaint() {
    if (!IsIconic(m_hWnd)) {
        Default(WM_PAINT, 0, 0);
        return;
    }
    CPaintDC dc(m_hWnd);
    SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
    const int cxIcon = GetSystemMetrics(SM_CXICON);
    const int cyIcon = GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(m_hWnd, &rect);
    const IconOrigin origin =
        CenteredIconOrigin(rect.right - rect.left, rect.bottom - rect.top, cxIcon, cyIcon);
    DrawIcon(dc.m_hDC, origin.x, origin.y, m_hIcon);
}

HICON CQuenbyDlg::OnQueryDragIcon() {
    return m_hIcon;
}

void CQuenbyDlg::OnClose() {
    m_bClosing = TRUE;
    NavigateToBlankPage();
}

void CQuenbyDlg::OnDocumentComplete(void* /*pDisp*/, const std::string& /*URL*/) {
    if (m_bClosing) {
        EndDialog(IDCANCEL);
        m_bClosing = FALSE;
    }
}

void CQuenbyDlg::OnCancel() {
    // Escape alone never closes the window; after a close request it ends it at once.
    if (m_bClosing) {
        CDialog::OnCancel();
    }
    m_bClosing = FALSE;
}

LRESULT CQuenbyDlg::OnReloadPages(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    NavigateToPages();
    SetForegroundWindow(m_hWnd);
    return 0;
}

void CQuenbyDlg::NavigateToPages() {
    std::string folder;
    GetInstallFolder(folder);
    const std::string url = browser::PagesUrl(folder);
    m_browser.Navigate(url.c_str(), nullptr, nullptr, nullptr, nullptr);
}

void CQuenbyDlg::NavigateToBlankPage() {
    char path[kMaxPath];
    if (GetModuleFileNameA(nullptr, path, kMaxPath) == 0) {
        return;
    }
    const std::string url = browser::ResourceUrl(path, IDR_BLANK_PAGE);
    m_browser.Navigate(url.c_str(), nullptr, nullptr, nullptr, nullptr);
}
