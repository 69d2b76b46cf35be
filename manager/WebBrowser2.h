// CWebBrowser2: the main window's wrapper of the WebBrowser control (control 1002 of
// template 102). The dialog's data exchange binds it to the control the template
// created (DDX_Control); until then, and after the dialog has ended, its calls do
// nothing.
//
// Ownership: the wrapper does not own the control (the window site does).
// Thread: the UI thread.
#pragma once

#include "BrowserControl.h"
#include "ui/Dialog.h"

struct VARIANT;

class CWebBrowser2 {
  public:
    CWebBrowser2() = default;
    CWebBrowser2(const CWebBrowser2&) = delete;
    CWebBrowser2& operator=(const CWebBrowser2&) = delete;

    // Binds the wrapper to a control (null unbinds).
    void Attach(CBrowserControl* control) { m_pControl = control; }
    CBrowserControl* GetControl() const { return m_pControl; }

    // Starts loading URL. The four optional arguments of the control's method are
    // accepted for its shape; Quenby always passes null for them.
    void Navigate(const char* URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData,
                  VARIANT* Headers);

  private:
    CBrowserControl* m_pControl = nullptr;
};

// Binds `control` to the control `id` of the running dialog, through the window site.
void DDX_Control(CDataExchange* pDX, int id, CWebBrowser2& control);
