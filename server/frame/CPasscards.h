// CPasscards: the scriptable passcard object (class Passcards, interface IPasscards).
//
// Every member switches to the server's module state first. Lifetime: reference
// counted by its ComObject/AggregatedObject wrapper; one apartment.
#pragma once

#include <span>

#include "QBStorage.h"
#include "QBStorageModule.h"
#include "com/Object.h"

class CPasscards : public com::DualImpl<IPasscards, &IPasscardsDispatcher>, public com::ObjectRoot {
  public:
    CPasscards() = default;
    ~CPasscards() = default;

    HRESULT InternalQueryInterface(REFIID riid, void** ppv);
    // The members in the order of the type library's IPasscards.
    static std::span<const com::MemberBinding> Bindings();

    // IPasscards
    HRESULT SetKeyValue(BSTR bsName, BSTR bsvalue) override;
    HRESULT GetKeyInfo(BSTR bsKey, BSTR* bsKeyName, BSTR* bsvalue, LONG* lCount) override;
    HRESULT WriteToFile(BSTR bsKeyName, BSTR bsFileType) override;
    HRESULT GetKeyValue(BSTR* bsKeyName, BSTR bsFileType) override;
    HRESULT get_Count(LONG* pVal) override;
    HRESULT WriteToUndelFile(BSTR bsKeyName, BSTR bsFileType) override;
};
