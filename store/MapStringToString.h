// CMapStringToString: a field map (field key -> field value), with the enumeration
// order, lookup cost and position rules of StringMap. Keys and values are kept in the
// map's one text pool, so a field map costs a few allocations however many fields it
// has.
//
// Ownership: the map owns its text; views it hands out are valid until the next
// change of the map. Thread: one map, one thread.
#pragma once

#include <string>
#include <string_view>

#include "StringMap.h"

class CMapStringToString : private StringMap<store::PooledText> {
  public:
    using StringMap::GetCount;
    using StringMap::GetStartPosition;
    using StringMap::IsEmpty;
    using StringMap::RemoveAll;
    using StringMap::RemoveKey;
    using StringMap::Reserve;

    // Sets key to value: a new key goes first in its bucket, an existing one keeps its
    // place (see StringMap).
    void SetAt(std::string_view key, std::string_view value);
    // Copies the value of key into value; false (value untouched) when key is absent.
    bool Lookup(std::string_view key, std::string& value) const;
    bool Lookup(std::string_view key, std::string_view& value) const;
    // Gives the key and value at pos and advances pos; false (and pos ended, the
    // outputs untouched) when pos has ended or is stale.
    bool GetNextAssoc(POSITION& pos, std::string_view& key, std::string_view& value) const;
    bool GetNextAssoc(POSITION& pos, std::string& key, std::string& value) const;
};
