#include "text/CaseCompare.h"

#include <clocale>
#include <cwctype>

namespace text {
namespace {

// The C.UTF-8 locale carries Unicode's simple case mappings in every glibc we
// build on; it is created once and never freed (it lives as long as the process).
locale_t Utf8Locale() {
    static const locale_t loc = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    return loc;
}

}  // namespace

char32_t ToUpper(char32_t c) {
    if (c < 0x80) {
        return (c >= 'a' && c <= 'z') ? c - 32 : c;
    }
    const locale_t loc = Utf8Locale();
    if (loc == static_cast<locale_t>(0)) {
        return c;
    }
    return static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), loc));
}

int CompareNoCase(std::string_view a, std::string_view b, CodePage cp) {
    const std::u32string ca = ToCodePoints(a, cp);
    const std::u32string cb = ToCodePoints(b, cp);
    const std::size_t n = std::min(ca.size(), cb.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char32_t x = ToUpper(ca[i]);
        const char32_t y = ToUpper(cb[i]);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    if (ca.size() == cb.size()) {
        return 0;
    }
    return ca.size() < cb.size() ? -1 : 1;
}

std::string FoldKey(std::string_view name) {
    // Decode as UTF-8; a byte that is not part of valid UTF-8 stays itself (folded by
    // ASCII rules) so that distinct byte strings never collide by accident.
    std::string out;
    out.reserve(name.size());
    const std::u32string cps = ToCodePoints(name, CodePage::Utf8);
    std::size_t pos = 0;
    for (char32_t c : cps) {
        if (c == 0xFFFD && !(name.compare(pos, 3, "\xEF\xBF\xBD") == 0)) {
            const auto b = static_cast<unsigned char>(name[pos]);
            out.push_back(static_cast<char>(b));
            pos += 1;
            continue;
        }
        const std::string one = FromCodePoints(std::u32string_view(&c, 1), CodePage::Utf8);
        pos += one.size();
        const char32_t up = ToUpper(c);
        out += FromCodePoints(std::u32string_view(&up, 1), CodePage::Utf8);
    }
    return out;
}

}  // namespace text
