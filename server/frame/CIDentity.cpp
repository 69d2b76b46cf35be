#include "CIDentity.h"

#include "ScriptText.h"
#include "ServerUiModule.h"

namespace {

// Process-wide for the loaded module, shared by every IDentity object and never reset.
bool g_firstLoadDone = false;
FieldCursor g_fieldCursor;

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

HRESULT CIDentity::SetKeyValue(BSTR bsKeyName, BSTR bsvalue) {
    QB_MANAGE_STATE();
    m_list.AddValue(ArgText(bsKeyName), ArgText(bsvalue));
    return S_OK;
}

HRESULT CIDentity::GetKeyValue(BSTR* bsKey, BSTR bsFileType) {
    QB_MANAGE_STATE();
    if (bsKey == nullptr)
        return E_POINTER;
    const std::string fileType = ArgText(bsFileType);
    if (!g_firstLoadDone) {
        g_firstLoadDone = true;
        m_list.ReadFromFile(fileType);
    }
    if (NamesEnded()) {
        RestartNames();
        if (NamesEnded()) {
            // An empty list: the store may have been filled since it was loaded.
            m_list.ReadFromFile(fileType);
            RestartNames();
        }
    }
    ReplaceBstr(bsKey, NewBstrFromText(TakeName()));
    return S_OK;
}

HRESULT CIDentity::WriteToFile(BSTR bsKeyName, BSTR bsFileType) {
    QB_MANAGE_STATE();
    m_list.WriteToFile(ArgText(bsKeyName), ArgText(bsFileType));
    return S_OK;
}

HRESULT CIDentity::get_Count(LONG* pVal) {
    QB_MANAGE_STATE();
    return CountEntries(pVal);
}

HRESULT CIDentity::GetKeyInfo(BSTR bsKey, BSTR* bsKeyName, BSTR* bsvalue, LONG* nCount) {
    QB_MANAGE_STATE();
    if (bsKeyName == nullptr || bsvalue == nullptr || nCount == nullptr)
        return E_POINTER;
    StepField(bsKey, bsKeyName, bsvalue, nCount, g_fieldCursor);
    return S_OK;
}

HRESULT CIDentity::RemoveElements() {
    QB_MANAGE_STATE();
    m_list.RemoveElements();
    return S_OK;
}

HRESULT CIDentity::DeleteIdentity(BSTR bsID) {
    QB_MANAGE_STATE();
    const std::string name = ArgText(bsID);
    CMapStringToString* fields = nullptr;
    if (!m_list.Lookup(name, fields) || fields == nullptr) {
        return S_OK;
    }
    // The store is rewritten from the list: merge it first, so that identities saved
    // since this list was loaded are not lost by the rewrite.
    m_list.ReadFromFile("identity");
    m_list.RemoveKey(name);
    m_list.SaveToIdentityFile();
    return S_OK;
}

HRESULT CIDentity::ValidatePassword(LONG* /*bValue*/) {
    QB_MANAGE_STATE();
    // The master password is checked elsewhere (the password dialogs); this member
    // checks nothing and leaves the result as the caller set it.
    return S_OK;
}

HRESULT CIDentity::Export() {
    QB_MANAGE_STATE();
    m_list.Export();
    return S_OK;
}

HRESULT CIDentity::Import() {
    QB_MANAGE_STATE();
    m_list.Import();
    return S_OK;
}
