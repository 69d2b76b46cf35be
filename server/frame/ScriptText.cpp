#include "ScriptText.h"

#include <new>

#include "text/CodePage.h"

std::u16string_view ArgView(BSTR bs) {
    const std::u16string_view all = com::BstrView(bs);
    return all.substr(0, all.find(u'\0'));
}

std::string ArgText(BSTR bs) {
    return text::ToNarrow(ArgView(bs));
}

BSTR NewBstr(std::u16string_view text) {
    BSTR bs = com::AllocBstr(text);
    if (bs == nullptr) {
        throw std::bad_alloc();
    }
    return bs;
}

BSTR NewBstrFromText(std::string_view text) {
    return NewBstr(text::ToWide(text));
}

void ReplaceBstr(BSTR* slot, BSTR fresh) {
    SysFreeString(*slot);
    *slot = fresh;
}
