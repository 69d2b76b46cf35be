// CIDentity: the scriptable identity object (class IDentity, interface IIDentity).
//
// Every member switches to the server's module state first. Lifetime: reference
// counted by its ComObject/AggregatedObject wrapper; one apartment.
#pragma once

#include <span>

#include "QBStorage.h"
#include "QBStorageModule.h"
#include "com/Object.h"

class CIDentity : public com::DualImpl<IIDentity, &IIDentityDispatcher>, public com::ObjectRoot {
  public:
    CIDentity() = default;
    ~CIDentity() = default;

    HRESULT InternalQueryInterface(REFIID riid, void** ppv);
    // The members in the order of the type library's IIDentity.
    static std::span<const com::MemberBinding> Bindings();

    // IIDentity
    HRESULT SetKeyValue(BSTR bsKeyName, BSTR bsvalue) override;
    HRESULT GetKeyValue(BSTR* bsKey, BSTR bsFileType) override;
    HRESULT WriteToFile(BSTR bsKeyName, BSTR bsFileType) override;
    HRESULT get_Count(LONG* pVal) override;
    HRESULT GetKeyInfo(BSTR bsKey, BSTR* bsKeyName, BSTR* bsvalue, LONG* nCount) override;
    HRESULT RemoveElements() override;
    HRESULT DeleteIdentity(BSTR bsID) override;
    HRESULT ValidatePassword(LONG* bValue) override;
    HRESULT Export() override;
    HRESULT Import() override;
};
