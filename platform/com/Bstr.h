// BSTR: the length-prefixed UTF-16 string of the scripting interface.
//
// Layout of one allocation: a 4-byte byte count (the string's length in bytes, not
// counting the terminator), then the characters, then one zero character. A BSTR
// points at the first character, so it can be read as a zero-terminated string, yet it
// may hold zero characters of its own; its length is the prefix, not the first zero.
//
// A null BSTR is valid everywhere and reads as the empty string (length 0).
//
// Ownership: whoever allocates a BSTR frees it with SysFreeString, unless it hands it
// over (an [out] parameter or a result hands it to the caller). All allocations come
// from this library, so a BSTR may be freed by any module of the process.
// Thread: any.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "WinTypes.h"

using OLECHAR = char16_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using BSTR = OLECHAR*;

// A copy of a zero-terminated string; null in, null out. Null when memory runs out.
BSTR SysAllocString(const OLECHAR* text);
// A string of len characters copied from text, or left zero-filled when text is null.
BSTR SysAllocStringLen(const OLECHAR* text, UINT len);
void SysFreeString(BSTR bstr);
UINT SysStringLen(BSTR bstr);
UINT SysStringByteLen(BSTR bstr);
// Replaces *bstr by a copy of text (freeing the old one). FALSE when memory runs out,
// and *bstr is then unchanged.
int SysReAllocString(BSTR* bstr, const OLECHAR* text);
int SysReAllocStringLen(BSTR* bstr, const OLECHAR* text, UINT len);

namespace com {

// The characters of a BSTR (possibly with embedded zeros); empty for null.
inline std::u16string_view BstrView(BSTR bstr) {
    return bstr == nullptr ? std::u16string_view() : std::u16string_view(bstr, SysStringLen(bstr));
}
// A new BSTR holding text (an empty one, not null, for empty text); null only when
// memory runs out.
BSTR AllocBstr(std::u16string_view text);

// Owns one BSTR (or null) and frees it. Move-only.
class Bstr {
  public:
    Bstr() = default;
    explicit Bstr(std::u16string_view text) : bstr_(AllocBstr(text)) {}
    ~Bstr() { SysFreeString(bstr_); }
    Bstr(Bstr&& other) noexcept : bstr_(std::exchange(other.bstr_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept {
        if (this != &other) {
            SysFreeString(bstr_);
            bstr_ = std::exchange(other.bstr_, nullptr);
        }
        return *this;
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    // Takes ownership of an allocated BSTR.
    static Bstr Attach(BSTR bstr) {
        Bstr b;
        b.bstr_ = bstr;
        return b;
    }
    // Gives up ownership.
    BSTR Detach() { return std::exchange(bstr_, nullptr); }
    // The address to hand to an [out] BSTR* parameter; frees what is held first.
    BSTR* Receive() {
        SysFreeString(bstr_);
        bstr_ = nullptr;
        return &bstr_;
    }

    BSTR get() const { return bstr_; }
    std::u16string_view view() const { return BstrView(bstr_); }

  private:
    BSTR bstr_ = nullptr;
};

}  // namespace com
