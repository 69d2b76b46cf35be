#include "CIdentityCtr.h"

#include <new>
#include <stdexcept>
#include <string>

#include "ControlDrawing.h"
#include "ScriptText.h"
#include "ServerUiModule.h"
#include "com/Runtime.h"
#include "ui/MessageBox.h"

namespace {

// A failure reported by the IDentity object ends the member as an exception.
void Succeed(HRESULT hr) {
    if (FAILED(hr)) {
        throw std::runtime_error("The IDentity object failed: " + com::DescribeHResult(hr));
    }
}

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

IIDentity& CIdentityCtr::Identity() const {
    if (m_pIdentity == nullptr) {
        throw std::runtime_error(
            "The control has no IDentity object: the class QBStorage.IDentity could not be "
            "created.");
    }
    return *m_pIdentity;
}

// --- identity store, handed on to the IDentity object ---

HRESULT CIdentityCtr::SetKeyValue(BSTR bsName, BSTR bsvalue) {
    QB_MANAGE_STATE();
    Succeed(Identity().SetKeyValue(bsName, bsvalue));
    return S_OK;
}

HRESULT CIdentityCtr::WriteToFile(BSTR bsName, BSTR bsType) {
    QB_MANAGE_STATE();
    Succeed(Identity().WriteToFile(bsName, bsType));
    return S_OK;
}

HRESULT CIdentityCtr::GetKeyValue(BSTR /*bsFileType*/, BSTR* bsKey) {
    QB_MANAGE_STATE();
    if (bsKey == nullptr)
        return E_POINTER;
    // Whatever the page asks for, the control lists identities.
    ReplaceBstr(bsKey, NextIdentityName(u"Identity"));
    return S_OK;
}

HRESULT CIdentityCtr::get_KeyValue(VARIANT* pVal) {
    QB_MANAGE_STATE();
    if (pVal == nullptr)
        return E_POINTER;
    BSTR name = NextIdentityName(u"identity");
    VariantClear(pVal);
    pVal->vt = VT_BSTR;
    pVal->bstrVal = name;
    return S_OK;
}

BSTR CIdentityCtr::NextIdentityName(std::u16string_view fileType) {
    com::Bstr type(fileType);
    com::Bstr name;
    if (type.get() == nullptr)
        throw std::bad_alloc();
    Succeed(Identity().GetKeyValue(name.Receive(), type.get()));
    return name.get() != nullptr ? name.Detach() : NewBstr(u"");
}

HRESULT CIdentityCtr::get_Count(LONG* pVal) {
    QB_MANAGE_STATE();
    if (pVal == nullptr)
        return E_POINTER;
    Succeed(Identity().get_Count(pVal));
    return S_OK;
}

HRESULT CIdentityCtr::RemoveElements() {
    QB_MANAGE_STATE();
    Succeed(Identity().RemoveElements());
    return S_OK;
}

HRESULT CIdentityCtr::DeleteIdentity(BSTR bsID) {
    QB_MANAGE_STATE();
    Succeed(Identity().DeleteIdentity(bsID));
    return S_OK;
}

HRESULT CIdentityCtr::ValidatePassword(LONG* bValue) {
    QB_MANAGE_STATE();
    if (bValue == nullptr)
        return E_POINTER;
    *bValue = 0;  // the IDentity object writes no result
    Succeed(Identity().ValidatePassword(bValue));
    return S_OK;
}

HRESULT CIdentityCtr::Export() {
    QB_MANAGE_STATE();
    Succeed(Identity().Export());
    return S_OK;
}

HRESULT CIdentityCtr::Import() {
    QB_MANAGE_STATE();
    Succeed(Identity().Import());
    return S_OK;
}

// --- field enumeration ---

HRESULT CIdentityCtr::GetKeyInfo(BSTR bsKey, LONG lCount, LONG* pResult) {
    QB_MANAGE_STATE();
    try {
        com::Bstr name;
        com::Bstr value;
        LONG count = lCount;
        Succeed(Identity().GetKeyInfo(bsKey, name.Receive(), value.Receive(), &count));
        if (pResult != nullptr)
            *pResult = count;
        if (count != 0) {
            if (name.get() != nullptr)
                StoreCopy(&m_bstrKeyName, name.get());
            if (value.get() != nullptr)
                StoreCopy(&m_bstrValue, value.get());
            m_lCount = count;
        }
    } catch (...) {
        MessageBoxA(nullptr, "CIdentityCtr::GetKeyInfo( BSTR bsKey, long lCount )", kCaption,
                    MB_ICONINFORMATION);
    }
    return S_OK;
}

// --- the control's own state ---

void CIdentityCtr::StoreCopy(BSTR* member, BSTR text) {
    BSTR copy = nullptr;
    if (text != nullptr) {
        copy = SysAllocStringLen(text, SysStringLen(text));
        if (copy == nullptr)
            throw std::bad_alloc();
    }
    ReplaceBstr(member, copy);
}

void CIdentityCtr::ReturnText(VARIANT* result, BSTR text) {
    BSTR copy = NewBstr(com::BstrView(text));
    VariantClear(result);
    result->vt = VT_BSTR;
    result->bstrVal = copy;
}

HRESULT CIdentityCtr::get_KeyName(VARIANT* pVal) {
    QB_MANAGE_STATE();
    if (pVal == nullptr)
        return E_POINTER;
    ReturnText(pVal, m_bstrKeyName);
    return S_OK;
}

HRESULT CIdentityCtr::GetValue(VARIANT* vtKeyValue) {
    QB_MANAGE_STATE();
    if (vtKeyValue == nullptr)
        return E_POINTER;
    ReturnText(vtKeyValue, m_bstrValue);
    return S_OK;
}

HRESULT CIdentityCtr::SetKeyName(BSTR bsKey) {
    QB_MANAGE_STATE();
    StoreCopy(&m_bstrKeyName, bsKey);
    return S_OK;
}

HRESULT CIdentityCtr::SetValue(BSTR bsKeyValue) {
    QB_MANAGE_STATE();
    StoreCopy(&m_bstrValue, bsKeyValue);
    return S_OK;
}

HRESULT CIdentityCtr::SetCount(LONG lCount) {
    QB_MANAGE_STATE();
    m_lCount = lCount;
    return S_OK;
}

HRESULT CIdentityCtr::GetMapCount(VARIANT* vtCount) {
    QB_MANAGE_STATE();
    if (vtCount == nullptr)
        return E_POINTER;
    VariantClear(vtCount);
    vtCount->vt = VT_I4;
    vtCount->lVal = m_lCount;
    return S_OK;
}
