// CDialog: a modal dialog built from a template of the current module.
//
// DoModal looks the template up in the resources of the module that is current when
// it is called (see ui/ModuleState.h), lets the installed backend show it and returns
// the result given to EndDialog: IDOK after OnOK, IDCANCEL after OnCancel (Cancel,
// Escape, the close box). It returns -1 when the template is not in the module (or
// the dialog already runs); a caller that guards something must take anything but
// IDOK as a refusal. A process without a UI backend cancels every dialog.
//
// Subclasses replace the virtual operations as in the framework they mirror:
// DoDataExchange (DDX_Text and DDX_Check bind members to controls), OnInitDialog
// (call the base first: it transfers the members into the controls), OnOK (the base
// transfers the controls into the members and ends with IDOK), OnCancel (ends with
// IDCANCEL), OnCommand (change notifications such as EN_CHANGE), OnClose (the close
// box; the base sends IDCANCEL).
//
// Handlers must not throw: they run inside the backend's event loop, which cannot
// carry an exception back to DoModal's caller.
//
// Controls are reached by id while the dialog runs (between OnInitDialog and the
// end of DoModal); outside that time every control call does nothing.
// Thread: the UI thread; DoModal blocks in the backend's modal loop.
#pragma once

#include <string>

#include "WinTypes.h"
#include "ui/DialogWindow.h"

class CDialog;

// The direction and target of one data exchange.
class CDataExchange {
  public:
    CDataExchange(CDialog* dialog, BOOL saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CDialog* m_pDlgWnd;
    BOOL m_bSaveAndValidate;  // TRUE: controls -> members; FALSE: members -> controls
};

// The text of control `id` to and from `value`.
void DDX_Text(CDataExchange* pDX, int id, std::string& value);
// The check state of check box `id` to and from `value` (BST_CHECKED or BST_UNCHECKED).
void DDX_Check(CDataExchange* pDX, int id, int& value);

// One control of a running dialog (what GetDlgItem gives). A handle for an id the
// dialog does not hold, or taken while no dialog runs, does nothing.
class CDlgItem {
  public:
    CDlgItem(ui::DialogWindow* window, int id) : window_(window), id_(id) {}

    bool IsValid() const { return window_ != nullptr && window_->HasItem(id_); }
    int GetDlgCtrlID() const { return id_; }
    std::string GetWindowText() const;
    void SetWindowText(const std::string& text);
    BOOL IsWindowEnabled() const;
    void EnableWindow(BOOL enable);
    void SetFocus();
    // Edit controls: select characters start..end (-1: to the end), caret in view.
    void SetSel(int start, int end);
    void* NativeHandle() const;

  private:
    ui::DialogWindow* window_;
    int id_;
};

class CDialog : public ui::DialogClient {
  public:
    explicit CDialog(UINT templateId, HWND parent = nullptr);
    ~CDialog() override;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    virtual int DoModal();
    void EndDialog(int result);
    // Runs DoDataExchange in the given direction. TRUE when it ran (a dialog is open).
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    UINT GetTemplateId() const { return m_nIDTemplate; }
    HWND GetParentWindow() const { return m_hParent; }
    bool IsRunning() const { return window_ != nullptr; }

    CDlgItem GetDlgItem(int id) const { return CDlgItem(window_, id); }
    std::string GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const std::string& text);
    void CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;

  protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // WM_COMMAND: TRUE when handled. The base runs OnOK for IDOK and OnCancel for IDCANCEL.
    virtual BOOL OnCommand(int id, int notifyCode);
    virtual void OnClose();

  private:
    void AttachWindow(ui::DialogWindow* window) override;
    bool HandleInitDialog() override;
    void HandleCommand(int id, int notifyCode) override;
    void HandleClose() override;

    UINT m_nIDTemplate;
    HWND m_hParent;
    ui::DialogWindow* window_ = nullptr;
};
