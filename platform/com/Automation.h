// IDispatch: late-bound calls by name, as scripts make them.
//
// A script first asks GetIDsOfNames for the dispatch id of a member (and of named
// arguments), then calls Invoke with the id and the arguments. Arguments arrive in
// reverse order: rgvarg[cArgs - 1] is the first positional argument. The first
// cNamedArgs entries of rgvarg are the named ones, rgdispidNamedArgs[i] naming the
// parameter of rgvarg[i].
#pragma once

#include "com/Unknown.h"
#include "com/Variant.h"

struct ITypeInfo;

struct DISPPARAMS {
    VARIANTARG* rgvarg;
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

// What a failed call tells its caller (with DISP_E_EXCEPTION). The receiver frees the
// three strings.
struct EXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    void* pvReserved;
    HRESULT (*pfnDeferredFillIn)(EXCEPINFO*);
    SCODE scode;
};

constexpr DISPID DISPID_UNKNOWN = -1;
constexpr DISPID DISPID_VALUE = 0;
constexpr DISPID DISPID_PROPERTYPUT = -3;

constexpr WORD DISPATCH_METHOD = 0x1;
constexpr WORD DISPATCH_PROPERTYGET = 0x2;
constexpr WORD DISPATCH_PROPERTYPUT = 0x4;
constexpr WORD DISPATCH_PROPERTYPUTREF = 0x8;

struct IDispatch : IUnknown {
    virtual HRESULT GetTypeInfoCount(UINT* pctinfo) = 0;
    virtual HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) = 0;
    // riid must be IID_NULL. rgszNames[0] is the member, the others its parameters;
    // each unknown name gets DISPID_UNKNOWN and the call DISP_E_UNKNOWNNAME.
    virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                  DISPID* rgDispId) = 0;
    // pVarResult (may be null) must be VT_EMPTY on entry; it receives the result.
    // pExcepInfo (may be null) is filled for DISP_E_EXCEPTION; puArgErr (may be null)
    // receives the rgvarg index of the argument at fault for DISP_E_TYPEMISMATCH,
    // DISP_E_OVERFLOW and DISP_E_PARAMNOTFOUND.
    virtual HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                           DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                           UINT* puArgErr) = 0;

  protected:
    ~IDispatch() = default;
};

inline constexpr IID IID_IDispatch = com::Guid("00020400-0000-0000-C000-000000000046");

namespace com {

// Frees the strings of an EXCEPINFO and zeroes it.
void ClearExcepInfo(EXCEPINFO* info);

}  // namespace com
