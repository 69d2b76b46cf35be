#include "WebBrowser2.h"

#include "WindowSite.h"

void CWebBrowser2::Navigate(const char* URL, VARIANT* /*Flags*/, VARIANT* /*TargetFrameName*/,
                            VARIANT* /*PostData*/, VARIANT* /*Headers*/) {
    if (m_pControl != nullptr && URL != nullptr) {
        m_pControl->Navigate(URL);
    }
}

void DDX_Control(CDataExchange* pDX, int id, CWebBrowser2& control) {
    CWindowSite* site = CurrentWindowSite();
    if (pDX->m_bSaveAndValidate || control.GetControl() != nullptr || site == nullptr) {
        return;  // a control is bound once, when the dialog starts
    }
    control.Attach(site->BrowserOf(*pDX->m_pDlgWnd, id));
}
