#include "IdentityNameDlg.h"

#include "ui/MessageBox.h"

std::string TrimWhiteSpace(const std::string& text) {
    constexpr const char* kWhite = " \t\n\v\f\r";
    const std::size_t first = text.find_first_not_of(kWhite);
    if (first == std::string::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(kWhite);
    return text.substr(first, last - first + 1);
}

CIdentityNameDlg::CIdentityNameDlg(HWND parent) : CDialog(IDD_IDENTITY_NAME, parent) {}

CIdentityNameDlg::~CIdentityNameDlg() = default;

BOOL CIdentityNameDlg::OnCommand(int id, int notifyCode) {
    if (id == IDC_IDENTITY_NAME && notifyCode == EN_CHANGE) {
        OnChangeName();
        return TRUE;
    }
    return CDialog::OnCommand(id, notifyCode);
}

void CIdentityNameDlg::OnChangeName() {
    const bool named = !TrimWhiteSpace(GetDlgItemText(IDC_IDENTITY_NAME)).empty();
    GetDlgItem(IDOK).EnableWindow(named ? TRUE : FALSE);
}

void CIdentityNameDlg::OnOK() {
    m_strName = GetDlgItemText(IDC_IDENTITY_NAME);
    EndDialog(IDOK);
}
