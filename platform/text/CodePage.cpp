#include "text/CodePage.h"

#include <array>
#include <atomic>

#include "registry/Registry.h"

namespace text {
namespace {

// 0 = not read yet, otherwise the CodePage value.
std::atomic<unsigned> g_activeCodePage{0};

CodePage ReadCodePageFromRegistry() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage", 0,
                      KEY_READ, &key) != ERROR_SUCCESS) {
        return CodePage::Utf8;
    }
    char buffer[16] = {};
    DWORD size = sizeof(buffer) - 1;
    DWORD type = 0;
    LSTATUS status =
        RegQueryValueExA(key, "ACP", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (status == ERROR_SUCCESS && type == REG_SZ && std::string_view(buffer) == "1252") {
        return CodePage::Windows1252;
    }
    return CodePage::Utf8;
}

// Windows-1252 bytes 0x80..0x9F; the five unassigned bytes map to the C1 control of
// the same value, as Windows does, so every byte survives a round trip.
constexpr std::array<char16_t, 32> k1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t From1252(unsigned char b) {
    return (b >= 0x80 && b <= 0x9F) ? k1252High[b - 0x80] : static_cast<char32_t>(b);
}

int To1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<int>(c);
    }
    for (std::size_t i = 0; i < k1252High.size(); ++i) {
        if (k1252High[i] == c) {
            return static_cast<int>(0x80 + i);
        }
    }
    return -1;
}

// Decodes one UTF-8 sequence at s[i]; returns its length, or 0 when it is invalid
// (overlong, surrogate, beyond U+10FFFF or truncated).
std::size_t DecodeUtf8(std::string_view s, std::size_t i, char32_t& out) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        out = b0;
        return 1;
    }
    std::size_t len = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > s.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    out = cp;
    return len;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

void AppendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
    } else {
        c -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 | (c >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
    }
}

std::u32string FromUtf16(std::u16string_view wide) {
    std::u32string cps;
    cps.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const char16_t w = wide[i];
        if (w >= 0xD800 && w <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] <= 0xDFFF) {
            cps.push_back(0x10000 + ((static_cast<char32_t>(w - 0xD800) << 10) |
                                     static_cast<char32_t>(wide[i + 1] - 0xDC00)));
            ++i;
        } else if (w >= 0xD800 && w <= 0xDFFF) {
            cps.push_back(0xFFFD);
        } else {
            cps.push_back(w);
        }
    }
    return cps;
}

}  // namespace

CodePage ActiveCodePage() {
    unsigned cp = g_activeCodePage.load(std::memory_order_acquire);
    if (cp == 0) {
        cp = static_cast<unsigned>(ReadCodePageFromRegistry());
        g_activeCodePage.store(cp, std::memory_order_release);
    }
    return static_cast<CodePage>(cp);
}

void ResetActiveCodePage() { g_activeCodePage.store(0, std::memory_order_release); }

void SetActiveCodePage(CodePage cp) {
    g_activeCodePage.store(static_cast<unsigned>(cp), std::memory_order_release);
}

std::u32string ToCodePoints(std::string_view bytes, CodePage cp) {
    std::u32string out;
    out.reserve(bytes.size());
    if (cp == CodePage::Windows1252) {
        for (char b : bytes) {
            out.push_back(From1252(static_cast<unsigned char>(b)));
        }
        return out;
    }
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t c = 0;
        const std::size_t len = DecodeUtf8(bytes, i, c);
        if (len == 0) {
            out.push_back(0xFFFD);
            ++i;
        } else {
            out.push_back(c);
            i += len;
        }
    }
    return out;
}

std::string FromCodePoints(std::u32string_view cps, CodePage cp) {
    std::string out;
    out.reserve(cps.size());
    for (char32_t c : cps) {
        if (cp == CodePage::Windows1252) {
            const int b = To1252(c);
            out.push_back(b < 0 ? '?' : static_cast<char>(b));
        } else {
            AppendUtf8(out, (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF ? 0xFFFD : c);
        }
    }
    return out;
}

std::u16string ToWide(std::string_view bytes, CodePage cp) {
    std::u16string out;
    out.reserve(bytes.size());
    for (char32_t c : ToCodePoints(bytes, cp)) {
        AppendUtf16(out, c);
    }
    return out;
}

std::string ToNarrow(std::u16string_view wide, CodePage cp) {
    return FromCodePoints(FromUtf16(wide), cp);
}

}  // namespace text
