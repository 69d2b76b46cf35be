// BridgeProbe.so: a small in-process server module for the object bridge's tests, with
// two creatable classes of one dual interface IProbe, both registered as invisible at
// run time:
//   QBBridgeTest.Probe   {B41D0E00-5A1E-4C3B-9D2A-7E0B5F10A001}  safe for scripting
//   QBBridgeTest.Unsafe  {B41D0E00-5A1E-4C3B-9D2A-7E0B5F10A002}  says it is not
// Members (dispatch ids from 1):
//   Greeting        property, BSTR: "Hello from the probe"
//   Join(text, n)   BSTR: text n times, joined by '|' (n < 0 fails with E_INVALIDARG)
//   Half(value)     VARIANT holding a double: value / 2
//   Fail(why)       throws; the script sees DISP_E_EXCEPTION described "Fail: <why>"
//   Nested()        runs the loop set by ProbeSetNestedLoop (a nested message loop)
//   Measure(text, [out] length, [in, out] tail)
//                   length = the number of UTF-16 units of text; tail = tail + text
//   Log             property, BSTR: every member called in the process so far, in
//                   order, separated by ','; a call of Nested shows as "Nested>" when
//                   it starts and "Nested<" when it ends
// Besides the four server exports it exports ProbeSetNestedLoop.
#pragma once

#include "com/Automation.h"

inline constexpr CLSID CLSID_Probe = com::Guid("B41D0E00-5A1E-4C3B-9D2A-7E0B5F10A001");
inline constexpr CLSID CLSID_UnsafeProbe = com::Guid("B41D0E00-5A1E-4C3B-9D2A-7E0B5F10A002");
inline constexpr IID IID_IProbe = com::Guid("B41D0E00-5A1E-4C3B-9D2A-7E0B5F10A0F0");
inline constexpr GUID LIBID_ProbeLib = com::Guid("B41D0E00-5A1E-4C3B-9D2A-7E0B5F10A0FF");

struct IProbe : IDispatch {
    virtual HRESULT get_Greeting(BSTR* pVal) = 0;
    virtual HRESULT Join(BSTR text, LONG times, BSTR* result) = 0;
    virtual HRESULT Half(double value, VARIANT* result) = 0;
    virtual HRESULT Fail(BSTR why) = 0;
    virtual HRESULT Nested() = 0;
    virtual HRESULT get_Log(BSTR* pVal) = 0;
    virtual HRESULT Measure(BSTR text, LONG* length, BSTR* tail) = 0;

  protected:
    ~IProbe() = default;
};

// The export ProbeSetNestedLoop: what Nested() runs.
using ProbeSetNestedLoopFn = void (*)(void (*loop)());
