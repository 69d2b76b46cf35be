// CMapStringToString: a field map (field key -> field value), with the enumeration
// order, lookup cost and position rules of StringMap.
//
// Ownership: the map owns its strings. Thread: one map, one thread.
#pragma once

#include <string>
#include <string_view>

#include "StringMap.h"

class CMapStringToString : public StringMap<std::string> {
  public:
    using StringMap::GetNextAssoc;

    // Copies the value of key into value; false (value untouched) when key is absent.
    bool Lookup(std::string_view key, std::string& value) const;
    // Copies the key and value at pos into key and value and advances pos; false (and
    // pos ended, the strings untouched) when pos has ended or is stale.
    bool GetNextAssoc(POSITION& pos, std::string& key, std::string& value) const;
};
