// CIdentityCtr: the ActiveX control IdentityCtr (interface IIdentityCtr) that the
// manager's pages script.
//
// The control owns one IDentity object (m_pIdentity), created through the registry
// when the control is constructed and released when it is destroyed; creating it may
// fail (m_pIdentity stays null) without failing the control. The control's own state
// is m_bstrKeyName, m_bstrValue (UTF-16, may be null) and m_lCount.
//
// The OLE-control surface is com::ControlBase: extent 5080 x 5080 HIMETRIC persisted as
// "_cx"/"_cy", misc status from the registry, IObjectSafety, drawing through
// DrawIdentityCtr. Every scriptable member switches to the server's module state first.
// Lifetime: reference counted by its wrapper; one apartment.
#pragma once

#include <span>

#include "QBStorage.h"
#include "QBStorageModule.h"
#include "com/Control.h"
#include "com/Object.h"

class CIdentityCtr : public com::DualImpl<IIdentityCtr, &IIdentityCtrDispatcher>,
                     public com::ControlBase,
                     public com::ObjectRoot {
  public:
    static constexpr SIZEL kNaturalExtent{5080, 5080};  // 2 x 2 inches in HIMETRIC

    CIdentityCtr();
    ~CIdentityCtr();

    HRESULT InternalQueryInterface(REFIID riid, void** ppv) override;
    // The members in the order of the type library's IIdentityCtr.
    static std::span<const com::MemberBinding> Bindings();

    // IIdentityCtr
    HRESULT SetKeyValue(BSTR bsName, BSTR bsvalue) override;
    HRESULT WriteToFile(BSTR bsName, BSTR bsType) override;
    HRESULT GetKeyInfo(BSTR bsKey, LONG lCount, LONG* pResult) override;
    HRESULT GetKeyValue(BSTR bsFileType, BSTR* bsKey) override;
    HRESULT get_Count(LONG* pVal) override;
    HRESULT get_KeyValue(VARIANT* pVal) override;
    HRESULT SetProfile(VARIANT* bsProfName) override;
    HRESULT get_KeyName(VARIANT* pVal) override;
    HRESULT SetKeyName(BSTR bsKey) override;
    HRESULT SetValue(BSTR bsKeyValue) override;
    HRESULT GetValue(VARIANT* vtKeyValue) override;
    HRESULT SetCount(LONG lCount) override;
    HRESULT GetMapCount(VARIANT* vtCount) override;
    HRESULT RemoveElements() override;
    HRESULT DeleteIdentity(BSTR bsID) override;
    HRESULT GetUserName(BSTR* bsUserName) override;
    HRESULT ValidatePassword(LONG* bValue) override;
    HRESULT get_AppPath(BSTR* pVal) override;
    HRESULT ShowHelp() override;
    HRESULT ShowPasswordGeneratorDlg() override;
    HRESULT IdentityToBeSelected(BSTR* pVal) override;
    HRESULT ShowAboutDlg() override;
    HRESULT ShowErrorMsg(BSTR bsMsg, int nType, int* lResult) override;
    HRESULT ShowInformationMsg(BSTR bsInfo, int nType, int* lResult) override;
    HRESULT ChangePassword() override;
    HRESULT Export() override;
    HRESULT Import() override;

  private:
    IIDentity* m_pIdentity = nullptr;
    BSTR m_bstrKeyName = nullptr;
    BSTR m_bstrValue = nullptr;
    [[maybe_unused]] LONG m_lCount = 0;  // read and set by the control-state members
};
