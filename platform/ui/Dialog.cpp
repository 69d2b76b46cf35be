#include "ui/Dialog.h"

#include "ui/Backend.h"
#include "ui/MessageBox.h"
#include "ui/Resources.h"

void DDX_Text(CDataExchange* pDX, int id, std::string& value) {
    if (pDX->m_bSaveAndValidate) {
        value = pDX->m_pDlgWnd->GetDlgItemText(id);
    } else {
        pDX->m_pDlgWnd->SetDlgItemText(id, value);
    }
}

void DDX_Check(CDataExchange* pDX, int id, int& value) {
    if (pDX->m_bSaveAndValidate) {
        value = static_cast<int>(pDX->m_pDlgWnd->IsDlgButtonChecked(id));
    } else {
        pDX->m_pDlgWnd->CheckDlgButton(id, static_cast<UINT>(value));
    }
}

std::string CDlgItem::GetWindowText() const {
    return window_ != nullptr ? window_->GetItemText(id_) : std::string();
}

void CDlgItem::SetWindowText(const std::string& text) {
    if (window_ != nullptr) {
        window_->SetItemText(id_, text);
    }
}

BOOL CDlgItem::IsWindowEnabled() const {
    return window_ != nullptr && window_->IsItemEnabled(id_) ? TRUE : FALSE;
}

void CDlgItem::EnableWindow(BOOL enable) {
    if (window_ != nullptr) {
        window_->EnableItem(id_, enable != FALSE);
    }
}

void CDlgItem::SetFocus() {
    if (window_ != nullptr) {
        window_->SetFocus(id_);
    }
}

void CDlgItem::SetSel(int start, int end) {
    if (window_ != nullptr) {
        window_->SetSel(id_, start, end);
    }
}

void* CDlgItem::NativeHandle() const {
    return window_ != nullptr ? window_->NativeItem(id_) : nullptr;
}

CDialog::CDialog(UINT templateId, HWND parent) : m_nIDTemplate(templateId), m_hParent(parent) {}

CDialog::~CDialog() = default;

int CDialog::DoModal() {
    const ui::DialogTemplate* dialogTemplate =
        ui::FindDialogTemplate(static_cast<int>(m_nIDTemplate));
    if (dialogTemplate == nullptr || window_ != nullptr) {
        return -1;
    }
    return ui::CurrentBackend().RunModalDialog(*dialogTemplate, *this);
}

void CDialog::EndDialog(int result) {
    if (window_ != nullptr) {
        window_->End(result);
    }
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    if (window_ == nullptr) {
        return FALSE;
    }
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(&exchange);
    return TRUE;
}

std::string CDialog::GetDlgItemText(int id) const {
    return GetDlgItem(id).GetWindowText();
}

void CDialog::SetDlgItemText(int id, const std::string& text) {
    GetDlgItem(id).SetWindowText(text);
}

void CDialog::CheckDlgButton(int id, UINT check) {
    if (window_ != nullptr) {
        window_->SetCheck(id, static_cast<int>(check));
    }
}

UINT CDialog::IsDlgButtonChecked(int id) const {
    return window_ != nullptr ? static_cast<UINT>(window_->GetCheck(id)) : BST_UNCHECKED;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnCommand(int id, int notifyCode) {
    if (notifyCode != BN_CLICKED) {
        return FALSE;
    }
    if (id == IDOK) {
        OnOK();
        return TRUE;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

void CDialog::OnClose() {
    HandleCommand(IDCANCEL, BN_CLICKED);
}

void CDialog::AttachWindow(ui::DialogWindow* window) {
    window_ = window;
}

bool CDialog::HandleInitDialog() {
    return OnInitDialog() != FALSE;
}

void CDialog::HandleCommand(int id, int notifyCode) {
    OnCommand(id, notifyCode);
}

void CDialog::HandleClose() {
    OnClose();
}
