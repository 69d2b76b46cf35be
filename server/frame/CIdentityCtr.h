// CIdentityCtr: the ActiveX control IdentityCtr (interface IIdentityCtr) that the
// manager's pages script.
//
// The control owns one IDentity object (m_pIdentity), created through the registry
// when the control is constructed and released when it is destroyed; creating it may
// fail (m_pIdentity stays null) without failing the control. The identity-store
// members hand their calls on to it; without it they fail (DISP_E_EXCEPTION, "The
// control has no IDentity object: ..."), except GetKeyInfo, which catches every
// failure and says so in a message box. The control's own state is m_bstrKeyName,
// m_bstrValue (UTF-16, kept unconverted; null reads as empty) and m_lCount (0 until
// set).
//
// Message boxes of the control: no owner, caption "Quenby", information icon. Dialogs
// (identity name, password, About) are the server module's own templates.
//
// The OLE-control surface is com::ControlBase: extent 5080 x 5080 HIMETRIC persisted as
// "_cx"/"_cy", misc status from the registry, IObjectSafety, drawing through
// DrawIdentityCtr. Every scriptable member switches to the server's module state first.
// Lifetime: reference counted by its wrapper; one apartment.
#pragma once

#include <span>
#include <string_view>

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
    static constexpr const char* kCaption = "Quenby";  // of the control's message boxes

    // The IDentity object; throws when the control has none.
    IIDentity& Identity() const;
    // The next identity name of the IDentity object's list (loading the store where
    // that object does so); a new BSTR, never null.
    BSTR NextIdentityName(std::u16string_view fileType);
    // Replaces *member by a copy of text (null stays null).
    static void StoreCopy(BSTR* member, BSTR text);
    // Sets result to a VT_BSTR copy of text (null reads as empty).
    static void ReturnText(VARIANT* result, BSTR text);
    // ShowErrorMsg and ShowInformationMsg.
    static HRESULT ShowMessage(BSTR text, int nType, int* lResult);
    // Opens install folder + relative with the shell.
    static void OpenInInstallFolder(const char* relative);

    IIDentity* m_pIdentity = nullptr;
    BSTR m_bstrKeyName = nullptr;
    BSTR m_bstrValue = nullptr;
    LONG m_lCount = 0;
};
