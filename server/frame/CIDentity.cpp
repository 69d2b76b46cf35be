#include "CIDentity.h"

#include "ServerUiModule.h"

namespace {

const com::MemberBinding kBindings[] = {
    COM_MEMBER(IIDentity, "SetKeyValue", SetKeyValue),
    COM_MEMBER(IIDentity, "GetKeyValue", GetKeyValue),
    COM_MEMBER(IIDentity, "WriteToFile", WriteToFile),
    COM_MEMBER(IIDentity, "Count", get_Count),
    COM_MEMBER(IIDentity, "GetKeyInfo", GetKeyInfo),
    COM_MEMBER(IIDentity, "RemoveElements", RemoveElements),
    COM_MEMBER(IIDentity, "DeleteIdentity", DeleteIdentity),
    COM_MEMBER(IIDentity, "ValidatePassword", ValidatePassword),
    COM_MEMBER(IIDentity, "Export", Export),
    COM_MEMBER(IIDentity, "Import", Import),
};

}  // namespace

std::span<const com::MemberBinding> CIDentity::Bindings() {
    return kBindings;
}

HRESULT CIDentity::InternalQueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IIDentity) {
        return com::HandOut<IIDentity>(this, ppv);
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

// The members' behaviour is not built yet: each one says so.

HRESULT CIDentity::SetKeyValue(BSTR /*bsKeyName*/, BSTR /*bsvalue*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIDentity::GetKeyValue(BSTR* /*bsKey*/, BSTR /*bsFileType*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIDentity::WriteToFile(BSTR /*bsKeyName*/, BSTR /*bsFileType*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIDentity::get_Count(LONG* /*pVal*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIDentity::GetKeyInfo(BSTR /*bsKey*/, BSTR* /*bsKeyName*/, BSTR* /*bsvalue*/,
                              LONG* /*nCount*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIDentity::RemoveElements() {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIDentity::DeleteIdentity(BSTR /*bsID*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIDentity::ValidatePassword(LONG* /*bValue*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIDentity::Export() {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CIDentity::Import() {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}
