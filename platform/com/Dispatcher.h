// The dispatch engine shared by every dual interface: IDispatch driven by the type
// library.
//
// GetIDsOfNames finds members and their parameters by name, ignoring case. Invoke:
//  - finds the member by dispatch id (DISP_E_MEMBERNOTFOUND, also for a property get
//    called without DISPATCH_PROPERTYGET or a method without DISPATCH_METHOD, and for
//    every property put: all properties are read-only);
//  - takes exactly the declared arguments (DISP_E_BADPARAMCOUNT), positional ones in
//    reverse order and named ones by parameter id (DISP_E_PARAMNOTFOUND for an id that
//    is unknown or given twice);
//  - converts each argument to its declared type as VariantChangeType does
//    (DISP_E_TYPEMISMATCH or DISP_E_OVERFLOW, *puArgErr = the argument's rgvarg index);
//    a null BSTR stays null and reads as the empty string;
//  - passes pointer parameters by reference: the caller passes VT_BYREF of the declared
//    type (the member sees the caller's value, whatever the declared direction), or
//    VT_BYREF | VT_VARIANT, whose value is converted (for a pure [out] parameter: or
//    left empty when it does not convert) and written back after a successful call;
//    anything else is DISP_E_TYPEMISMATCH. The value behind a pointer parameter belongs
//    to that slot: a member that replaces a string there frees the old one;
//  - hands the [out, retval] parameter back as *pVarResult;
//  - turns a failed HRESULT of the member into DISP_E_EXCEPTION with EXCEPINFO.scode
//    set to it, and a C++ exception leaving the member into DISP_E_EXCEPTION with a
//    description ("<Member>: <what happened>"). Neither the result nor a VT_VARIANT
//    write-back reaches the caller then, and the object stays usable.
//
// Lifetime: a Dispatcher belongs to the module whose bindings it calls and must not
// outlive it. Thread: immutable after construction; calls from any thread.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "com/DispatchBinding.h"
#include "com/NameIndex.h"
#include "com/TypeInfo.h"

namespace com {

// Called inside a catch block for an exception that left a member; returns the text a
// script sees, in the process's code page. A module that throws exceptions of its own kinds
// supplies one that knows them and falls back to DescribeCurrentException.
using ExceptionDescriber = std::string (*)();
std::string DescribeCurrentException();

class Dispatcher {
  public:
    // typeInfo: a dual interface of a library made by CreateTypeLib. bindings: one per
    // member, in the order of the interface's members. source: the name scripts see as
    // the error source ("QBStorage.IdentityCtr"). describe may be null.
    Dispatcher(ITypeInfo* typeInfo, std::span<const MemberBinding> bindings, std::string source,
               ExceptionDescriber describe);
    ~Dispatcher();
    Dispatcher(const Dispatcher&) = delete;
    Dispatcher& operator=(const Dispatcher&) = delete;

    // Empty when the bindings match the type library; otherwise what does not match.
    // A Dispatcher with problems refuses every call with E_UNEXPECTED.
    const std::string& Problems() const { return problems_; }

    HRESULT GetTypeInfoCount(UINT* pctinfo) const;
    HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) const;
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                          DISPID* rgDispId) const;
    HRESULT Invoke(void* instance, DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                   DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                   UINT* puArgErr) const;

    static constexpr std::size_t kMaxParams = 8;

  private:
    struct Member {
        const FuncDesc* desc;
        MemberCall call;
    };
    const Member* Find(DISPID id) const;
    void Verify(const TypeDesc& type, std::span<const MemberBinding> bindings);
    HRESULT Fail(const Member& m, HRESULT scode, const std::string& what, EXCEPINFO* excep) const;

    ITypeInfo* typeInfo_;  // one reference
    std::string source_;
    ExceptionDescriber describe_;
    std::vector<Member> members_;
    std::vector<int> byId_;  // dispatch id -> index into members_, or -1
    std::string problems_;
};

}  // namespace com
