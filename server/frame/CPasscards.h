// CPasscards: the scriptable passcard object (class Passcards, interface IPasscards).
//
// Each object works on its own CQBIdentityList (StoreObject), empty when it is made.
// GetKeyValue loads the store of its file type on every call, GetKeyInfo the passcard
// store on every call, so a script always sees what is stored. The field enumeration
// cursor of GetKeyInfo is process-wide, shared by all Passcards objects of the loaded
// module (and separate from the IDentity one).
//
// Every member switches to the server's module state first and returns S_OK when it
// returns; failures leave as for CIDentity (DISP_E_EXCEPTION with a description).
// Lifetime: reference counted by its ComObject/AggregatedObject wrapper; one apartment.
#pragma once

#include <span>

#include "QBStorage.h"
#include "QBStorageModule.h"
#include "StoreObject.h"
#include "com/Object.h"

class CPasscards : public com::DualImpl<IPasscards, &IPasscardsDispatcher>,
                   public com::ObjectRoot,
                   private StoreObject {
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
