// GUIDs: class, interface and library identifiers.
//
// Text form (the registry's): "{2A706EC0-52A6-46E8-AE90-221009C59DFD}", 38 characters,
// hex digits in either case when read, upper case when written. Data1-Data3 are
// numbers (written most significant digit first); Data4 is eight bytes in order.
//
// Thread: any. GUID is a plain value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>

#include "WinTypes.h"

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

inline bool operator==(const GUID& a, const GUID& b) {
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}
inline bool operator!=(const GUID& a, const GUID& b) {
    return !(a == b);
}
inline bool IsEqualGUID(REFGUID a, REFGUID b) {
    return a == b;
}
inline bool IsEqualIID(REFIID a, REFIID b) {
    return a == b;
}
inline bool IsEqualCLSID(REFCLSID a, REFCLSID b) {
    return a == b;
}

inline constexpr GUID GUID_NULL{};
inline constexpr IID IID_NULL{};

namespace com {

namespace detail {
constexpr int HexDigit(char c) {
    return c >= '0' && c <= '9'   ? c - '0'
           : c >= 'a' && c <= 'f' ? c - 'a' + 10
           : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                  : -1;
}
// Parses exactly "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX" (36 characters, no braces).
constexpr bool ParseBare(std::string_view s, GUID& g) {
    if (s.size() != 36 || s[8] != '-' || s[13] != '-' || s[18] != '-' || s[23] != '-') {
        return false;
    }
    auto hex = [&](std::size_t pos, std::size_t n, std::uint64_t& out) {
        out = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const int d = HexDigit(s[pos + i]);
            if (d < 0) {
                return false;
            }
            out = out * 16 + static_cast<std::uint64_t>(d);
        }
        return true;
    };
    std::uint64_t v = 0;
    if (!hex(0, 8, v))
        return false;
    g.Data1 = static_cast<std::uint32_t>(v);
    if (!hex(9, 4, v))
        return false;
    g.Data2 = static_cast<std::uint16_t>(v);
    if (!hex(14, 4, v))
        return false;
    g.Data3 = static_cast<std::uint16_t>(v);
    constexpr std::size_t kBytePos[8] = {19, 21, 24, 26, 28, 30, 32, 34};
    for (std::size_t i = 0; i < 8; ++i) {
        if (!hex(kBytePos[i], 2, v))
            return false;
        g.Data4[i] = static_cast<std::uint8_t>(v);
    }
    return true;
}
}  // namespace detail

// A GUID from its text without braces, checked at compile time:
//   constexpr CLSID CLSID_X = com::Guid("2A706EC0-52A6-46E8-AE90-221009C59DFD");
consteval GUID Guid(const char (&text)[37]) {
    GUID g{};
    if (!detail::ParseBare(std::string_view(text, 36), g)) {
        throw "malformed GUID literal";  // not a constant expression: compile error
    }
    return g;
}

// Reads the registry form with braces. Surrounding blanks or anything else is refused.
bool ParseGuid(std::string_view text, GUID* out);
// The registry form with braces, upper case.
std::string FormatGuid(REFGUID guid);

struct GuidHash {
    std::size_t operator()(const GUID& g) const noexcept {
        std::uint64_t a = 0, b = 0;
        std::memcpy(&a, &g, 8);
        std::memcpy(&b, reinterpret_cast<const char*>(&g) + 8, 8);
        return std::hash<std::uint64_t>()(a ^ (b * 0x9E3779B97F4A7C15ull));
    }
};

}  // namespace com
