#include "MapStringToString.h"

bool CMapStringToString::Lookup(std::string_view key, std::string& value) const {
    const std::string* found = Find(key);
    if (found == nullptr) {
        return false;
    }
    value = *found;
    return true;
}

bool CMapStringToString::GetNextAssoc(POSITION& pos, std::string& key, std::string& value) const {
    const std::string* k = nullptr;
    const std::string* v = nullptr;
    if (!GetNextAssoc(pos, k, v)) {
        return false;
    }
    key = *k;
    value = *v;
    return true;
}
