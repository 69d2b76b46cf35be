#include "com/Bstr.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::size_t kPrefix = sizeof(std::uint32_t);
// Longest string whose byte count still fits the 32-bit prefix.
constexpr std::size_t kMaxChars = (0xFFFFFFFFu - kPrefix - sizeof(OLECHAR)) / sizeof(OLECHAR);

std::uint32_t* PrefixOf(BSTR bstr) {
    return reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(bstr) - kPrefix);
}

BSTR Allocate(const OLECHAR* text, std::size_t len) {
    if (len > kMaxChars) {
        return nullptr;
    }
    const std::size_t bytes = len * sizeof(OLECHAR);
    char* block = static_cast<char*>(std::malloc(kPrefix + bytes + sizeof(OLECHAR)));
    if (block == nullptr) {
        return nullptr;
    }
    const auto count = static_cast<std::uint32_t>(bytes);
    std::memcpy(block, &count, kPrefix);
    BSTR bstr = reinterpret_cast<BSTR>(block + kPrefix);
    if (text != nullptr) {
        std::memcpy(bstr, text, bytes);
    } else {
        std::memset(bstr, 0, bytes);
    }
    bstr[len] = 0;
    return bstr;
}

std::size_t Length(const OLECHAR* text) {
    std::size_t n = 0;
    while (text[n] != 0) {
        ++n;
    }
    return n;
}

}  // namespace

BSTR SysAllocString(const OLECHAR* text) {
    return text == nullptr ? nullptr : Allocate(text, Length(text));
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT len) {
    return Allocate(text, len);
}

void SysFreeString(BSTR bstr) {
    if (bstr != nullptr) {
        std::free(PrefixOf(bstr));
    }
}

UINT SysStringByteLen(BSTR bstr) {
    return bstr == nullptr ? 0 : *PrefixOf(bstr);
}

UINT SysStringLen(BSTR bstr) {
    return SysStringByteLen(bstr) / sizeof(OLECHAR);
}

int SysReAllocString(BSTR* bstr, const OLECHAR* text) {
    return SysReAllocStringLen(bstr, text, text == nullptr ? 0 : static_cast<UINT>(Length(text)));
}

int SysReAllocStringLen(BSTR* bstr, const OLECHAR* text, UINT len) {
    if (bstr == nullptr) {
        return FALSE;
    }
    // text may point into *bstr itself: copy before freeing.
    BSTR copy = Allocate(text, len);
    if (copy == nullptr) {
        return FALSE;
    }
    SysFreeString(*bstr);
    *bstr = copy;
    return TRUE;
}

namespace com {

BSTR AllocBstr(std::u16string_view text) {
    return Allocate(text.data(), text.size());
}

}  // namespace com
