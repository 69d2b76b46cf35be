#include "PasswordDlg.h"

#include "Settings.h"
#include "text/CaseCompare.h"
#include "ui/MessageBox.h"

namespace {

constexpr const char* kInvalidPassword = "Invalid Password!";
constexpr const char* kInvalidOldPassword = "Invalid Old Password!";
constexpr const char* kRetypeDiffers = "The re-type password does not match the original password!";

void Warn(const char* text) {
    MessageBoxA(nullptr, text, "Quenby", MB_ICONWARNING);
}

}  // namespace

CPasswordDlg::CPasswordDlg(ePWD_MODE nMode, HWND parent)
    : CDialog(TemplateFor(nMode), parent), m_nMode(nMode) {}

CPasswordDlg::~CPasswordDlg() = default;

UINT CPasswordDlg::TemplateFor(ePWD_MODE nMode) {
    switch (nMode) {
        case eSET:
            return IDD_SET_PASSWORD;
        case eCHANGE:
            return IDD_CHANGE_PASSWORD;
        case eENTER:
            break;
    }
    return IDD_PASSWORD;
}

void CPasswordDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_PASSWORD, m_strPassword);
}

BOOL CPasswordDlg::OnInitDialog() {
    CDialog::OnInitDialog();
#if QUENBY_MANAGER_FLAVOUR
    if (m_nMode == eENTER && GetPromptFlag()) {
        CheckDlgButton(IDC_PROMPT, BST_CHECKED);
    }
#endif
    return TRUE;  // the focus goes to the first tab stop
}

void CPasswordDlg::OnOK() {
    UpdateData(TRUE);
    switch (m_nMode) {
        case eENTER:
            OnOKEnter();
            return;
        case eSET:
            OnOKSet();
            return;
        case eCHANGE:
            OnOKChange();
            return;
    }
}

void CPasswordDlg::OnOKEnter() {
    if (!CheckPassword(m_strPassword)) {
        SelectAndFocus(IDC_PASSWORD);
        Warn(kInvalidPassword);
        return;
    }
#if QUENBY_MANAGER_FLAVOUR
    SetPromptFlag(IsDlgButtonChecked(IDC_PROMPT) == BST_CHECKED);
#endif
    EndDialog(IDOK);
}

void CPasswordDlg::OnOKSet() {
    SaveIfRetyped(IsDlgButtonChecked(IDC_PROMPT) == BST_CHECKED);
}

void CPasswordDlg::OnOKChange() {
    // The new record keeps the prompt flag of the old one.
    const bool prompt = GetPromptFlag();
    if (!CheckPassword(GetDlgItemText(IDC_OLD_PASSWORD))) {
        SelectAndFocus(IDC_OLD_PASSWORD);
        Warn(kInvalidOldPassword);
        return;
    }
    SaveIfRetyped(prompt);
}

void CPasswordDlg::SaveIfRetyped(bool prompt) {
    if (!RetypeMatches()) {
        return;
    }
    // SavePassword tells the user itself why it refuses.
    if (!SavePassword(m_strPassword, prompt)) {
        SelectAndFocus(IDC_PASSWORD);
        return;
    }
    EndDialog(IDOK);
}

bool CPasswordDlg::RetypeMatches() {
    if (text::EqualsNoCase(GetDlgItemText(IDC_RETYPE_PASSWORD), m_strPassword)) {
        return true;
    }
    Warn(kRetypeDiffers);
    SelectAndFocus(IDC_RETYPE_PASSWORD);
    return false;
}

void CPasswordDlg::SelectAndFocus(int id) {
    CDlgItem edit = GetDlgItem(id);
    edit.SetSel(0, -1);
    edit.SetFocus();
}
