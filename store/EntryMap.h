// EntryMap: the entries of one collection (identities or passcards): entry name ->
// the entry's field map, or nullptr for an entry without one. The map owns the field
// maps: replacing or removing an entry destroys its old field map.
#pragma once

#include <memory>

#include "MapStringToString.h"
#include "StringMap.h"

using FieldMapPtr = std::unique_ptr<CMapStringToString>;
using EntryMap = StringMap<FieldMapPtr>;
