// ITypeLib and ITypeInfo: read access to a type library, and its life in the registry.
//
// These follow the Windows interfaces in spirit and in their results, with simpler
// signatures where the Windows ones hand out structures to be released: descriptions
// come back as pointers into the library, valid while the caller holds a reference.
//
// Lifetime: a type library made by CreateTypeLib or LoadTypeLib copies its description;
// it does not depend on the module it came from, so it may outlive that module. A type
// info holds a reference to its library. Thread: any (reference counts are atomic and
// the data never changes).
#pragma once

#include "com/Automation.h"
#include "com/TypeLibDesc.h"

struct ITypeLib;
using HREFTYPE = DWORD;

struct TYPEATTR {
    GUID guid;
    LCID lcid;
    TYPEKIND typekind;
    WORD cFuncs;
    WORD cVars;
    WORD cImplTypes;
    WORD wTypeFlags;
    WORD wMajorVerNum;
    WORD wMinorVerNum;
};

struct TLIBATTR {
    GUID guid;
    LCID lcid;
    SYSKIND syskind;
    WORD wMajorVerNum;
    WORD wMinorVerNum;
    WORD wLibFlags;
};

struct ITypeInfo : IUnknown {
    virtual HRESULT GetTypeAttr(TYPEATTR** ppTypeAttr) = 0;
    virtual void ReleaseTypeAttr(TYPEATTR* pTypeAttr) = 0;
    virtual HRESULT GetFuncDesc(UINT index, const FUNCDESC** ppFuncDesc) = 0;
    virtual void ReleaseFuncDesc(const FUNCDESC* pFuncDesc) = 0;
    virtual HRESULT GetVarDesc(UINT index, const VARDESC** ppVarDesc) = 0;
    virtual void ReleaseVarDesc(const VARDESC* pVarDesc) = 0;
    // The member's name followed by its parameters' names (the retval included).
    virtual HRESULT GetNames(MEMBERID memid, BSTR* rgBstrNames, UINT cMaxNames, UINT* pcNames) = 0;
    virtual HRESULT GetRefTypeOfImplType(UINT index, HREFTYPE* pRefType) = 0;
    virtual HRESULT GetImplTypeFlags(UINT index, int* pImplTypeFlags) = 0;
    // Case-insensitive. The first name is a member, the others its parameters, whose
    // ids are their positions (0 = first parameter).
    virtual HRESULT GetIDsOfNames(LPOLESTR* rgszNames, UINT cNames, MEMBERID* pMemId) = 0;
    // Calls a member on instance, an interface pointer of this (dual) type.
    virtual HRESULT Invoke(void* instance, MEMBERID memid, WORD wFlags, DISPPARAMS* pDispParams,
                           VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) = 0;
    // MEMBERID_NIL documents the type itself. Any out pointer may be null.
    virtual HRESULT GetDocumentation(MEMBERID memid, BSTR* pBstrName, BSTR* pBstrDocString,
                                     DWORD* pdwHelpContext, BSTR* pBstrHelpFile) = 0;
    virtual HRESULT GetRefTypeInfo(HREFTYPE hRefType, ITypeInfo** ppTInfo) = 0;
    virtual HRESULT GetContainingTypeLib(ITypeLib** ppTLib, UINT* pIndex) = 0;

  protected:
    ~ITypeInfo() = default;
};

struct ITypeLib : IUnknown {
    virtual UINT GetTypeInfoCount() = 0;
    virtual HRESULT GetTypeInfo(UINT index, ITypeInfo** ppTInfo) = 0;
    virtual HRESULT GetTypeInfoType(UINT index, TYPEKIND* pTKind) = 0;
    virtual HRESULT GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** ppTInfo) = 0;
    virtual HRESULT GetLibAttr(TLIBATTR** ppTLibAttr) = 0;
    virtual void ReleaseTLibAttr(TLIBATTR* pTLibAttr) = 0;
    // index -1 documents the library itself.
    virtual HRESULT GetDocumentation(int index, BSTR* pBstrName, BSTR* pBstrDocString,
                                     DWORD* pdwHelpContext, BSTR* pBstrHelpFile) = 0;

  protected:
    ~ITypeLib() = default;
};

inline constexpr IID IID_ITypeInfo = com::Guid("00020401-0000-0000-C000-000000000046");
inline constexpr IID IID_ITypeLib = com::Guid("00020402-0000-0000-C000-000000000046");

// The class id of the automation marshaller that Windows names for dual interfaces.
inline constexpr CLSID CLSID_PSOAInterface = com::Guid("00020424-0000-0000-C000-000000000046");

namespace com {

// A type library over a copy of desc. E_INVALIDARG when desc is inconsistent (a
// coclass naming an interface that is not there, two members with one dispatch id).
HRESULT CreateTypeLib(const TypeLibDesc& desc, ITypeLib** ppTLib);

// The description behind a type info made by CreateTypeLib, or null for any other.
const TypeDesc* DescOf(ITypeInfo* typeInfo);

// A module announces the type library it carries (its "TYPELIB 1" resource) from its
// static initialisation, naming any address inside itself; LoadTypeLib of the module's
// file then finds it. The module withdraws it when it unloads. desc must live until then.
void RegisterTypeLibResource(const void* addressInModule, const TypeLibDesc* desc);
void UnregisterTypeLibResource(const void* addressInModule);

}  // namespace com

// Loads the module file (dlopen) and reads the type library it carries.
// TYPE_E_CANTLOADLIBRARY when the file does not load or carries none.
HRESULT LoadTypeLib(LPCOLESTR file, ITypeLib** ppTLib);

// Writes the library's keys under HKEY_CLASSES_ROOT as Windows does:
//   TypeLib\{libid}\<maj>.<min>              = help string (else name)
//   TypeLib\{libid}\<maj>.<min>\FLAGS        = library flags, decimal
//   TypeLib\{libid}\<maj>.<min>\HELPDIR      = helpDir
//   TypeLib\{libid}\<maj>.<min>\<lcid hex>\win32 = fullPath   (win16/mac/win64 by syskind)
// and for each dual or automation interface:
//   Interface\{iid}                          = interface name
//   Interface\{iid}\ProxyStubClsid           = {00020424-0000-0000-C000-000000000046}
//   Interface\{iid}\ProxyStubClsid32         = the same
//   Interface\{iid}\TypeLib                  = {libid}, with value Version = "<maj>.<min>"
// Versions and locale are written in hex without leading zeros ("1.0", "409").
HRESULT RegisterTypeLib(ITypeLib* ptlib, LPCOLESTR fullPath, LPCOLESTR helpDir);

// Removes what RegisterTypeLib wrote for that version, locale and system: the interface
// keys that still name this library, the path key, and each parent key left empty.
// TYPE_E_REGISTRYACCESS when the library is not registered; the registered file must
// load (its interfaces are read from it).
HRESULT UnRegisterTypeLib(REFGUID libid, WORD majorVersion, WORD minorVersion, LCID lcid,
                          SYSKIND syskind);
