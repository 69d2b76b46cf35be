// The process's 8-bit ("ANSI") code page and conversions between it and UTF-16.
//
// The code page is the value ACP of HKLM\SYSTEM\CurrentControlSet\Control\Nls\CodePage:
// "1252" selects Windows-1252, anything else (or nothing) UTF-8. As on Windows it is
// read once per process; ResetActiveCodePage() makes the next use read it again (tests).
//
// Thread: all functions may be called from any thread.
#pragma once

#include <string>
#include <string_view>

namespace text {

enum class CodePage : unsigned { Utf8 = 65001, Windows1252 = 1252 };

CodePage ActiveCodePage();
void ResetActiveCodePage();
// Pins the code page for this process without consulting the registry (tests, tools).
void SetActiveCodePage(CodePage cp);

// 8-bit text to UTF-16. Invalid UTF-8 sequences become U+FFFD, one per bad byte, as
// MultiByteToWideChar does; nothing is dropped.
std::u16string ToWide(std::string_view bytes, CodePage cp);
inline std::u16string ToWide(std::string_view bytes) { return ToWide(bytes, ActiveCodePage()); }

// UTF-16 to 8-bit text. Characters the code page cannot hold become '?'; unpaired
// surrogates become U+FFFD (UTF-8) or '?' (1252).
std::string ToNarrow(std::u16string_view wide, CodePage cp);
inline std::string ToNarrow(std::u16string_view wide) { return ToNarrow(wide, ActiveCodePage()); }

// Decodes 8-bit text into code points. A byte that does not start a valid UTF-8
// sequence yields U+FFFD and the decoder goes on at the next byte.
std::u32string ToCodePoints(std::string_view bytes, CodePage cp);
std::string FromCodePoints(std::u32string_view cps, CodePage cp);

}  // namespace text
