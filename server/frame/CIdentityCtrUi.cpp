// The IdentityCtr members that show the server's dialogs and message boxes or reach the
// environment (user name, install folder, hand-over value, shell). The identity-store
// members and the control's state are in CIdentityCtr.cpp.
#include <string>

#include "CIdentityCtr.h"
#include "IdentityNameDlg.h"
#include "InstallFolder.h"
#include "PasswordDlg.h"
#include "ScriptText.h"
#include "ServerResources.h"
#include "ServerUiModule.h"
#include "Settings.h"
#include "SettingsKey.h"
#include "system/Shell.h"
#include "system/UserName.h"
#include "ui/MessageBox.h"

namespace {

constexpr DWORD kUserNameBuffer = 255;
constexpr const char* kHelpFile = "/Help/Help.chm";
constexpr const char* kPasswordGenerator = "/Bin/PassMint.exe";

// The identity a component outside the system asked the pages to select: the value
// Identity of the AppPath key, taken once (it is deleted as it is read).
std::string TakeIdentityToBeSelected() {
    settings::Key key(settings::kAppPathKey);
    if (!key.IsOpen()) {
        return std::string();
    }
    std::string name = key.ReadString("Identity");
    RegDeleteValueA(key.handle(), "Identity");  // a missing value is no error
    return name;
}

}  // namespace

// --- dialogs ---

HRESULT CIdentityCtr::SetProfile(VARIANT* bsProfName) {
    QB_MANAGE_STATE();
    if (bsProfName == nullptr)
        return E_POINTER;
    CIdentityNameDlg dialog;
    if (dialog.DoModal() == IDOK) {
        BSTR name = NewBstrFromText(dialog.m_strName);
        VariantClear(bsProfName);
        bsProfName->vt = VT_BSTR;
        bsProfName->bstrVal = name;
    }
    return S_OK;
}

HRESULT CIdentityCtr::ChangePassword() {
    QB_MANAGE_STATE();
    CPasswordDlg dialog(IsPasswordSet() ? eCHANGE : eSET);
    dialog.DoModal();
    return S_OK;
}

HRESULT CIdentityCtr::ShowAboutDlg() {
    QB_MANAGE_STATE();
    CDialog about(IDD_ABOUTBOX);
    about.DoModal();
    return S_OK;
}

// --- message boxes ---

HRESULT CIdentityCtr::ShowErrorMsg(BSTR bsMsg, int nType, int* lResult) {
    QB_MANAGE_STATE();
    return ShowMessage(bsMsg, nType, lResult);
}

HRESULT CIdentityCtr::ShowInformationMsg(BSTR bsInfo, int nType, int* lResult) {
    QB_MANAGE_STATE();
    return ShowMessage(bsInfo, nType, lResult);
}

HRESULT CIdentityCtr::ShowMessage(BSTR text, int nType, int* lResult) {
    if (lResult == nullptr)
        return E_POINTER;
    const std::string message = ArgText(text);
    switch (nType) {
        case eOK:
            MessageBoxA(nullptr, message.c_str(), kCaption,
                        MB_TASKMODAL | MB_ICONINFORMATION | MB_OK);
            *lResult = 1;
            break;
        case eYESNO:
            *lResult = MessageBoxA(nullptr, message.c_str(), kCaption,
                                   MB_TASKMODAL | MB_ICONINFORMATION | MB_YESNO) == IDYES
                           ? 1
                           : 0;
            break;
        default:
            break;  // nothing to show
    }
    return S_OK;
}

// --- environment ---

HRESULT CIdentityCtr::GetUserName(BSTR* bsUserName) {
    QB_MANAGE_STATE();
    if (bsUserName == nullptr)
        return E_POINTER;
    char buffer[kUserNameBuffer] = {};
    DWORD size = kUserNameBuffer;
    const std::string name = GetUserNameA(buffer, &size) ? std::string(buffer) : std::string();
    ReplaceBstr(bsUserName, NewBstrFromText(name));
    return S_OK;
}

HRESULT CIdentityCtr::get_AppPath(BSTR* pVal) {
    QB_MANAGE_STATE();
    if (pVal == nullptr)
        return E_POINTER;
    std::string folder;
    GetInstallFolder(folder);
    ReplaceBstr(pVal, NewBstrFromText(folder));
    return S_OK;
}

HRESULT CIdentityCtr::IdentityToBeSelected(BSTR* pVal) {
    QB_MANAGE_STATE();
    if (pVal == nullptr)
        return E_POINTER;
    ReplaceBstr(pVal, NewBstrFromText(TakeIdentityToBeSelected()));
    return S_OK;
}

HRESULT CIdentityCtr::ShowHelp() {
    QB_MANAGE_STATE();
    OpenInInstallFolder(kHelpFile);
    return S_OK;
}

HRESULT CIdentityCtr::ShowPasswordGeneratorDlg() {
    QB_MANAGE_STATE();
    OpenInInstallFolder(kPasswordGenerator);
    return S_OK;
}

void CIdentityCtr::OpenInInstallFolder(const char* relative) {
    std::string path;
    GetInstallFolder(path);
    path += relative;
    // Whether the shell could open it is not reported: the page has nothing to do about it.
    ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
