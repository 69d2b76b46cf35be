#include "MapStringToString.h"

void CMapStringToString::SetAt(std::string_view key, std::string_view value) {
    if (InPool(key) || InPool(value)) {
        // Text of this map itself (a copy from one key to another): storing the value
        // may move the pool under the key, so take copies first.
        const std::string ownKey(key);
        const std::string ownValue(value);
        SetAt(ownKey, ownValue);
        return;
    }
    const store::PooledText text = StoreText(value);
    try {
        StringMap::SetAt(key, text);
    } catch (...) {
        DropText(text);
        throw;
    }
}

bool CMapStringToString::Lookup(std::string_view key, std::string_view& value) const {
    const store::PooledText* found = Find(key);
    if (found == nullptr) {
        return false;
    }
    value = Text(*found);
    return true;
}

bool CMapStringToString::Lookup(std::string_view key, std::string& value) const {
    std::string_view view;
    if (!Lookup(key, view)) {
        return false;
    }
    value.assign(view);
    return true;
}

bool CMapStringToString::GetNextAssoc(POSITION& pos, std::string_view& key,
                                      std::string_view& value) const {
    const store::PooledText* text = nullptr;
    if (!StringMap::GetNextAssoc(pos, key, text)) {
        return false;
    }
    value = Text(*text);
    return true;
}

bool CMapStringToString::GetNextAssoc(POSITION& pos, std::string& key, std::string& value) const {
    std::string_view k;
    std::string_view v;
    if (!GetNextAssoc(pos, k, v)) {
        return false;
    }
    key.assign(k);
    value.assign(v);
    return true;
}
