// Scalar types and small structures of the object runtime's interfaces, with the
// Windows widths (LONG and ULONG are 32 bits).
#pragma once

#include <cstdint>

#include "WinTypes.h"
#include "ui/DeviceContext.h"  // HDC, the context a drawing operation paints on

using ULONG = std::uint32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using LCID = DWORD;
using DISPID = LONG;
using MEMBERID = DISPID;
using ULONG_PTR = std::uintptr_t;


struct POINTL {
    LONG x;
    LONG y;
};
struct SIZEL {
    LONG cx;
    LONG cy;
};
using LPSIZEL = SIZEL*;
struct RECTL {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
using LPRECTL = RECTL*;
using LPCRECTL = const RECTL*;

constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
