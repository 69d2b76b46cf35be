#include "CIdentityCtr.h"

#include "ControlDrawing.h"
#include "ServerUiModule.h"
#include "com/Runtime.h"

namespace {

const com::MemberBinding kBindings[] = {
    COM_MEMBER(IIdentityCtr, "SetKeyValue", SetKeyValue),
    COM_MEMBER(IIdentityCtr, "WriteToFile", WriteToFile),
    COM_MEMBER(IIdentityCtr, "GetKeyInfo", GetKeyInfo),
    COM_MEMBER(IIdentityCtr, "GetKeyValue", GetKeyValue),
    COM_MEMBER(IIdentityCtr, "Count", get_Count),
    COM_MEMBER(IIdentityCtr, "KeyValue", get_KeyValue),
    COM_MEMBER(IIdentityCtr, "SetProfile", SetProfile),
    COM_MEMBER(IIdentityCtr, "KeyName", get_KeyName),
    COM_MEMBER(IIdentityCtr, "SetKeyName", SetKeyName),
    COM_MEMBER(IIdentityCtr, "SetValue", SetValue),
    COM_MEMBER(IIdentityCtr, "GetValue", GetValue),
    COM_MEMBER(IIdentityCtr, "SetCount", SetCount),
    COM_MEMBER(IIdentityCtr, "GetMapCount", GetMapCount),
    COM_MEMBER(IIdentityCtr, "RemoveElements", RemoveElements),
    COM_MEMBER(IIdentityCtr, "DeleteIdentity", DeleteIdentity),
    COM_MEMBER(IIdentityCtr, "GetUserName", GetUserName),
    COM_MEMBER(IIdentityCtr, "ValidatePassword", ValidatePassword),
    COM_MEMBER(IIdentityCtr, "AppPath", get_AppPath),
    COM_MEMBER(IIdentityCtr, "ShowHelp", ShowHelp),
    COM_MEMBER(IIdentityCtr, "ShowPasswordGeneratorDlg", ShowPasswordGeneratorDlg),
    COM_MEMBER(IIdentityCtr, "IdentityToBeSelected", IdentityToBeSelected),
    COM_MEMBER(IIdentityCtr, "ShowAboutDlg", ShowAboutDlg),
    COM_MEMBER(IIdentityCtr, "ShowErrorMsg", ShowErrorMsg),
    COM_MEMBER(IIdentityCtr, "ShowInformationMsg", ShowInformationMsg),
    COM_MEMBER(IIdentityCtr, "ChangePassword", ChangePassword),
    COM_MEMBER(IIdentityCtr, "Export", Export),
    COM_MEMBER(IIdentityCtr, "Import", Import),
};

const com::ControlClass kControlClass{&CLSID_IdentityCtr, &QBStorageTypeLib,
                                      CIdentityCtr::kNaturalExtent, &DrawIdentityCtr};

}  // namespace

std::span<const com::MemberBinding> CIdentityCtr::Bindings() {
    return kBindings;
}

CIdentityCtr::CIdentityCtr() : com::ControlBase(kControlClass) {
    // The control's own IDentity object, created through the registration as any
    // client would; without it the control still exists (m_pIdentity stays null).
    com::ComPtr<IUnknown> unknown;
    if (SUCCEEDED(CoCreateInstance(CLSID_IDentity, nullptr, CLSCTX_ALL, IID_IUnknown,
                                   unknown.ReceiveVoid()))) {
        OleRun(unknown.get());
        unknown->QueryInterface(IID_IIDentity, reinterpret_cast<void**>(&m_pIdentity));
    }
}

CIdentityCtr::~CIdentityCtr() {
    if (m_pIdentity != nullptr) {
        m_pIdentity->Release();
        m_pIdentity = nullptr;
    }
    SysFreeString(m_bstrKeyName);
    SysFreeString(m_bstrValue);
}

HRESULT CIdentityCtr::InternalQueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IIdentityCtr) {
        return com::HandOut<IIdentityCtr>(this, ppv);
    }
    return QueryControlInterface(riid, ppv);
}

// The members' behaviour is not built yet: each one says so.

HRESULT CIdentityCtr::SetKeyValue(BSTR /*bsName*/, BSTR /*bsvalue*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIdentityCtr::WriteToFile(BSTR /*bsName*/, BSTR /*bsType*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIdentityCtr::GetKeyInfo(BSTR /*bsKey*/, LONG /*lCount*/, LONG* /*pResult*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIdentityCtr::GetKeyValue(BSTR /*bsFileType*/, BSTR* /*bsKey*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIdentityCtr::get_Count(LONG* /*pVal*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIdentityCtr::get_KeyValue(VARIANT* /*pVal*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIdentityCtr::SetProfile(VARIANT* /*bsProfName*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIdentityCtr::get_KeyName(VARIANT* /*pVal*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIdentityCtr::SetKeyName(BSTR /*bsKey*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIdentityCtr::SetValue(BSTR /*bsKeyValue*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIdentityCtr::GetValue(VARIANT* /*vtKeyValue*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIdentityCtr::SetCount(LONG /*lCount*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIdentityCtr::GetMapCount(VARIANT* /*vtCount*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIdentityCtr::RemoveElements() {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIdentityCtr::DeleteIdentity(BSTR /*bsID*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIdentityCtr::GetUserName(BSTR* /*bsUserName*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIdentityCtr::ValidatePassword(LONG* /*bValue*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIdentityCtr::get_AppPath(BSTR* /*pVal*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIdentityCtr::ShowHelp() {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIdentityCtr::ShowPasswordGeneratorDlg() {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIdentityCtr::IdentityToBeSelected(BSTR* /*pVal*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIdentityCtr::ShowAboutDlg() {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIdentityCtr::ShowErrorMsg(BSTR /*bsMsg*/, int /*nType*/, int* /*lResult*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIdentityCtr::ShowInformationMsg(BSTR /*bsInfo*/, int /*nType*/, int* /*lResult*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIdentityCtr::ChangePassword() {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIdentityCtr::Export() {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIdentityCtr::Import() {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}
