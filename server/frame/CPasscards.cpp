#include "CPasscards.h"

#include "ServerUiModule.h"

namespace {

const com::MemberBinding kBindings[] = {
    COM_MEMBER(IPasscards, "SetKeyValue", SetKeyValue),
    COM_MEMBER(IPasscards, "GetKeyInfo", GetKeyInfo),
    COM_MEMBER(IPasscards, "WriteToFile", WriteToFile),
    COM_MEMBER(IPasscards, "GetKeyValue", GetKeyValue),
    COM_MEMBER(IPasscards, "Count", get_Count),
    COM_MEMBER(IPasscards, "WriteToUndelFile", WriteToUndelFile),
};

}  // namespace

std::span<const com::MemberBinding> CPasscards::Bindings() {
    return kBindings;
}

HRESULT CPasscards::InternalQueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IPasscards) {
        return com::HandOut<IPasscards>(this, ppv);
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

// The members' behaviour is not built yet: each one says so.

HRESULT CPasscards::SetKeyValue(BSTR /*bsName*/, BSTR /*bsvalue*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CPasscards::GetKeyInfo(BSTR /*bsKey*/, BSTR* /*bsKeyName*/, BSTR* /*bsvalue*/,
                               LONG* /*lCount*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CPasscards::WriteToFile(BSTR /*bsKeyName*/, BSTR /*bsFileType*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CPasscards::GetKeyValue(BSTR* /*bsKeyName*/, BSTR /*bsFileType*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CPasscards::get_Count(LONG* /*pVal*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}

HRESULT CPasscards::WriteToUndelFile(BSTR /*bsKeyName*/, BSTR /*bsFileType*/) {
    QB_MANAGE_STATE();
    return E_NOTIMPL;
}
