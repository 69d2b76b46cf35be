// The scripting interface of the server module QBStorage: identifiers of its type
// library, classes and interfaces, and the three dual interfaces in function-table
// order (after IUnknown and IDispatch). Every member returns an HRESULT; a property
// get is named get_<Property>.
#pragma once

#include "com/Automation.h"

inline constexpr GUID LIBID_QBSTORAGELib = com::Guid("C1EB49B2-74A7-4DEA-90C4-2E1D40D314B2");

inline constexpr CLSID CLSID_IDentity = com::Guid("2A706EC0-52A6-46E8-AE90-221009C59DFD");
inline constexpr CLSID CLSID_Passcards = com::Guid("E0E762DF-3A06-4BCF-8EF5-E9B1D22A93BD");
inline constexpr CLSID CLSID_IdentityCtr = com::Guid("7B42F47F-7322-4021-92FE-BAA20DE7FBAA");

inline constexpr IID IID_IIDentity = com::Guid("80A43379-5E1C-43FB-96A5-0D64447A34E6");
inline constexpr IID IID_IPasscards = com::Guid("F11CF4D9-66F6-46BC-BFC1-14896DD04A6A");
inline constexpr IID IID_IIdentityCtr = com::Guid("F67880B5-6A67-448E-B73B-B37DB7512843");

// The nType argument of ShowErrorMsg and ShowInformationMsg.
enum eMSG_TYPE { eOK = 1, eYESNO = 2 };

struct IIDentity : IDispatch {
    virtual HRESULT SetKeyValue(BSTR bsKeyName, BSTR bsvalue) = 0;
    virtual HRESULT GetKeyValue(BSTR* bsKey, BSTR bsFileType) = 0;
    virtual HRESULT WriteToFile(BSTR bsKeyName, BSTR bsFileType) = 0;
    virtual HRESULT get_Count(LONG* pVal) = 0;
    virtual HRESULT GetKeyInfo(BSTR bsKey, BSTR* bsKeyName, BSTR* bsvalue, LONG* nCount) = 0;
    virtual HRESULT RemoveElements() = 0;
    virtual HRESULT DeleteIdentity(BSTR bsID) = 0;
    virtual HRESULT ValidatePassword(LONG* bValue) = 0;
    virtual HRESULT Export() = 0;
    virtual HRESULT Import() = 0;

  protected:
    ~IIDentity() = default;
};

struct IPasscards : IDispatch {
    virtual HRESULT SetKeyValue(BSTR bsName, BSTR bsvalue) = 0;
    virtual HRESULT GetKeyInfo(BSTR bsKey, BSTR* bsKeyName, BSTR* bsvalue, LONG* lCount) = 0;
    virtual HRESULT WriteToFile(BSTR bsKeyName, BSTR bsFileType) = 0;
    virtual HRESULT GetKeyValue(BSTR* bsKeyName, BSTR bsFileType) = 0;
    virtual HRESULT get_Count(LONG* pVal) = 0;
    virtual HRESULT WriteToUndelFile(BSTR bsKeyName, BSTR bsFileType) = 0;

  protected:
    ~IPasscards() = default;
};

struct IIdentityCtr : IDispatch {
    virtual HRESULT SetKeyValue(BSTR bsName, BSTR bsvalue) = 0;
    virtual HRESULT WriteToFile(BSTR bsName, BSTR bsType) = 0;
    virtual HRESULT GetKeyInfo(BSTR bsKey, LONG lCount, LONG* pResult) = 0;
    virtual HRESULT GetKeyValue(BSTR bsFileType, BSTR* bsKey) = 0;
    virtual HRESULT get_Count(LONG* pVal) = 0;
    virtual HRESULT get_KeyValue(VARIANT* pVal) = 0;
    virtual HRESULT SetProfile(VARIANT* bsProfName) = 0;
    virtual HRESULT get_KeyName(VARIANT* pVal) = 0;
    virtual HRESULT SetKeyName(BSTR bsKey) = 0;
    virtual HRESULT SetValue(BSTR bsKeyValue) = 0;
    virtual HRESULT GetValue(VARIANT* vtKeyValue) = 0;
    virtual HRESULT SetCount(LONG lCount) = 0;
    virtual HRESULT GetMapCount(VARIANT* vtCount) = 0;
    virtual HRESULT RemoveElements() = 0;
    virtual HRESULT DeleteIdentity(BSTR bsID) = 0;
    virtual HRESULT GetUserName(BSTR* bsUserName) = 0;
    virtual HRESULT ValidatePassword(LONG* bValue) = 0;
    virtual HRESULT get_AppPath(BSTR* pVal) = 0;
    virtual HRESULT ShowHelp() = 0;
    virtual HRESULT ShowPasswordGeneratorDlg() = 0;
    virtual HRESULT IdentityToBeSelected(BSTR* pVal) = 0;
    virtual HRESULT ShowAboutDlg() = 0;
    virtual HRESULT ShowErrorMsg(BSTR bsMsg, int nType, int* lResult) = 0;
    virtual HRESULT ShowInformationMsg(BSTR bsInfo, int nType, int* lResult) = 0;
    virtual HRESULT ChangePassword() = 0;
    virtual HRESULT Export() = 0;
    virtual HRESULT Import() = 0;

  protected:
    ~IIdentityCtr() = default;
};
