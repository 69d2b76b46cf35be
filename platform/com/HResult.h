// HRESULT: the result code of every object-runtime call, with the Windows values the
// server, its scripts and its clients rely on.
//
// Layout: bit 31 severity (1 = failure), bits 16-26 facility, bits 0-15 code.
// Thread: any.
#pragma once

#include <string>

#include "WinTypes.h"

using HRESULT = LONG;
using SCODE = HRESULT;

namespace com::detail {
constexpr HRESULT Code(DWORD value) {
    return static_cast<HRESULT>(value);
}
}  // namespace com::detail

constexpr bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}
constexpr bool FAILED(HRESULT hr) {
    return hr < 0;
}

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;

constexpr HRESULT E_NOTIMPL = com::detail::Code(0x80004001);
constexpr HRESULT E_NOINTERFACE = com::detail::Code(0x80004002);
constexpr HRESULT E_POINTER = com::detail::Code(0x80004003);
constexpr HRESULT E_ABORT = com::detail::Code(0x80004004);
constexpr HRESULT E_FAIL = com::detail::Code(0x80004005);
constexpr HRESULT E_UNEXPECTED = com::detail::Code(0x8000FFFF);
constexpr HRESULT E_ACCESSDENIED = com::detail::Code(0x80070005);
constexpr HRESULT E_OUTOFMEMORY = com::detail::Code(0x8007000E);
constexpr HRESULT E_INVALIDARG = com::detail::Code(0x80070057);

constexpr HRESULT CLASS_E_NOAGGREGATION = com::detail::Code(0x80040110);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = com::detail::Code(0x80040111);
constexpr HRESULT REGDB_E_READREGDB = com::detail::Code(0x80040150);
constexpr HRESULT REGDB_E_WRITEREGDB = com::detail::Code(0x80040151);
constexpr HRESULT REGDB_E_CLASSNOTREG = com::detail::Code(0x80040154);
constexpr HRESULT DV_E_DVASPECT = com::detail::Code(0x8004006B);
constexpr HRESULT CO_E_NOTINITIALIZED = com::detail::Code(0x800401F0);
constexpr HRESULT CO_E_CLASSSTRING = com::detail::Code(0x800401F3);
constexpr HRESULT CO_E_DLLNOTFOUND = com::detail::Code(0x800401F8);
constexpr HRESULT CO_E_ERRORINDLL = com::detail::Code(0x800401F9);
constexpr HRESULT RPC_E_CHANGED_MODE = com::detail::Code(0x80010106);

constexpr HRESULT DISP_E_UNKNOWNINTERFACE = com::detail::Code(0x80020001);
constexpr HRESULT DISP_E_MEMBERNOTFOUND = com::detail::Code(0x80020003);
constexpr HRESULT DISP_E_PARAMNOTFOUND = com::detail::Code(0x80020004);
constexpr HRESULT DISP_E_TYPEMISMATCH = com::detail::Code(0x80020005);
constexpr HRESULT DISP_E_UNKNOWNNAME = com::detail::Code(0x80020006);
constexpr HRESULT DISP_E_NONAMEDARGS = com::detail::Code(0x80020007);
constexpr HRESULT DISP_E_BADVARTYPE = com::detail::Code(0x80020008);
constexpr HRESULT DISP_E_EXCEPTION = com::detail::Code(0x80020009);
constexpr HRESULT DISP_E_OVERFLOW = com::detail::Code(0x8002000A);
constexpr HRESULT DISP_E_BADINDEX = com::detail::Code(0x8002000B);
constexpr HRESULT DISP_E_BADPARAMCOUNT = com::detail::Code(0x8002000E);
constexpr HRESULT DISP_E_PARAMNOTOPTIONAL = com::detail::Code(0x8002000F);

constexpr HRESULT TYPE_E_REGISTRYACCESS = com::detail::Code(0x8002801C);
constexpr HRESULT TYPE_E_LIBNOTREGISTERED = com::detail::Code(0x8002801D);
constexpr HRESULT TYPE_E_ELEMENTNOTFOUND = com::detail::Code(0x8002802B);
constexpr HRESULT TYPE_E_CANTLOADLIBRARY = com::detail::Code(0x80029C4A);

// Windows system error code (ERROR_*) as an HRESULT of facility 7 (FACILITY_WIN32).
constexpr HRESULT HRESULT_FROM_WIN32(LSTATUS error) {
    return error <= 0 ? error
                      : com::detail::Code((static_cast<DWORD>(error) & 0xFFFFu) | 0x80070000u);
}


namespace com {

// A short English sentence for an HRESULT ("Not implemented."), for error
// descriptions handed to scripts and for tools. Unknown codes read
// "Error 0x80004005.".
std::string DescribeHResult(HRESULT hr);
// "0x8002000E": eight upper-case hex digits.
std::string FormatHResult(HRESULT hr);

}  // namespace com
