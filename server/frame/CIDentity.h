// CIDentity: the scriptable identity object (class IDentity, interface IIDentity).
//
// Each object works on its own CQBIdentityList (StoreObject), empty when it is made.
// Which store a member loads or saves is chosen by the file type it is given
// ("identity" in any case: the identity store; anything else: the passcard store).
// Process-wide, for all IDentity objects of the loaded module: the first-load flag
// (the first GetKeyValue of the process loads the store) and the field enumeration
// cursor of GetKeyInfo.
//
// Every member switches to the server's module state first and returns S_OK when it
// returns. A failure it does not handle (a store that cannot be read or is malformed,
// running out of memory) leaves it as an exception, which the dispatch layer turns
// into DISP_E_EXCEPTION with a description; the object stays usable.
// Lifetime: reference counted by its ComObject/AggregatedObject wrapper; one apartment.
#pragma once

#include <span>

#include "QBStorage.h"
#include "QBStorageModule.h"
#include "StoreObject.h"
#include "com/Object.h"

class CIDentity : public com::DualImpl<IIDentity, &IIDentityDispatcher>,
                  public com::ObjectRoot,
                  private StoreObject {
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
