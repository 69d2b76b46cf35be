#include "com/NameIndex.h"

#include "text/CaseCompare.h"
#include "text/CodePage.h"

namespace com {
namespace {

char16_t Fold(char16_t c) {
    if (c < 0x80) {
        return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 0x20) : c;
    }
    if (c >= 0xD800 && c <= 0xDFFF) {
        return c;  // surrogate halves stay as they are
    }
    const char32_t upper = text::ToUpper(c);
    return upper <= 0xFFFF ? static_cast<char16_t>(upper) : c;
}

std::uint32_t HashFolded(std::u16string_view name, std::u16string* folded) {
    std::uint32_t h = 2166136261u;
    for (char16_t c : name) {
        const char16_t f = Fold(c);
        if (folded != nullptr) {
            folded->push_back(f);
        }
        h = (h ^ f) * 16777619u;
    }
    return h;
}

}  // namespace

NameIndex::NameIndex(const std::vector<std::string>& names) {
    std::size_t size = 8;
    while (size < names.size() * 2) {
        size *= 2;
    }
    slots_.resize(size);
    folded_.resize(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::uint32_t h =
            HashFolded(text::ToWide(names[i], text::CodePage::Utf8), &folded_[i]);
        if (Find(folded_[i]) >= 0) {
            continue;
        }
        std::size_t pos = h & (size - 1);
        while (slots_[pos].index >= 0) {
            pos = (pos + 1) & (size - 1);
        }
        slots_[pos] = Slot{h, static_cast<int>(i)};
    }
}

int NameIndex::Find(std::u16string_view name) const {
    if (slots_.empty()) {
        return -1;
    }
    const std::uint32_t h = HashFolded(name, nullptr);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t pos = h & mask;; pos = (pos + 1) & mask) {
        const Slot& slot = slots_[pos];
        if (slot.index < 0) {
            return -1;
        }
        if (slot.hash != h) {
            continue;
        }
        const std::u16string& candidate = folded_[static_cast<std::size_t>(slot.index)];
        if (candidate.size() != name.size()) {
            continue;
        }
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i) {
            same = Fold(name[i]) == candidate[i];
        }
        if (same) {
            return slot.index;
        }
    }
}

}  // namespace com
