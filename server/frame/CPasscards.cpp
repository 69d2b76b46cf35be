#include "CPasscards.h"

#include "ScriptText.h"
#include "ServerUiModule.h"

namespace {

constexpr const char* kPasscardsType = "Passcards";

// Process-wide for the loaded module, shared by every Passcards object, never reset.
FieldCursor g_fieldCursor;

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

HRESULT CPasscards::SetKeyValue(BSTR bsName, BSTR bsvalue) {
    QB_MANAGE_STATE();
    m_list.AddValue(ArgText(bsName), ArgText(bsvalue));
    return S_OK;
}

HRESULT CPasscards::GetKeyInfo(BSTR bsKey, BSTR* bsKeyName, BSTR* bsvalue, LONG* lCount) {
    QB_MANAGE_STATE();
    if (bsKeyName == nullptr || bsvalue == nullptr || lCount == nullptr)
        return E_POINTER;
    m_list.ReadFromFile(kPasscardsType);
    StepField(bsKey, bsKeyName, bsvalue, lCount, g_fieldCursor);
    return S_OK;
}

HRESULT CPasscards::WriteToFile(BSTR bsKeyName, BSTR bsFileType) {
    QB_MANAGE_STATE();
    m_list.WriteToFile(ArgText(bsKeyName), ArgText(bsFileType));
    return S_OK;
}

HRESULT CPasscards::GetKeyValue(BSTR* bsKeyName, BSTR bsFileType) {
    QB_MANAGE_STATE();
    if (bsKeyName == nullptr)
        return E_POINTER;
    m_list.ReadFromFile(ArgText(bsFileType));
    if (NamesEnded()) {
        RestartNames();
    }
    ReplaceBstr(bsKeyName, NewBstrFromText(TakeName()));
    return S_OK;
}

HRESULT CPasscards::get_Count(LONG* pVal) {
    QB_MANAGE_STATE();
    return CountEntries(pVal);
}

HRESULT CPasscards::WriteToUndelFile(BSTR bsKeyName, BSTR bsFileType) {
    QB_MANAGE_STATE();
    m_list.WriteToUndelFile(ArgText(bsKeyName), ArgText(bsFileType));
    return S_OK;
}
