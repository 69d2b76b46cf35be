// Case-insensitive comparison of 8-bit text by characters: a UTF-8 sequence (or a
// 1252 byte) is one character, and 'ä' equals 'Ä'. Letters compare by their
// Unicode upper-case mapping; everything else by code point.
//
// Thread: any.
#pragma once

#include <string>
#include <string_view>

#include "text/CodePage.h"

namespace text {

// <0, 0 or >0 like strcmp, over the upper-cased characters.
int CompareNoCase(std::string_view a, std::string_view b, CodePage cp);
inline int CompareNoCase(std::string_view a, std::string_view b) {
    return CompareNoCase(a, b, ActiveCodePage());
}
inline bool EqualsNoCase(std::string_view a, std::string_view b, CodePage cp) {
    return CompareNoCase(a, b, cp) == 0;
}
inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    return CompareNoCase(a, b) == 0;
}

// A key under which names that are equal ignoring case coincide. Valid UTF-8 is
// folded by character, any other byte by ASCII rules only; the result does not
// depend on the process's code page (the registry uses it for its names).
std::string FoldKey(std::string_view name);

char32_t ToUpper(char32_t c);

}  // namespace text
