// A registry subtree as text, for comparing what registration wrote: one line per key
// ("CLSID\{...}") and one per value ("CLSID\{...}\InprocServer32 @=/path", a named value
// as "name=text"), in the hive's enumeration order (names ignoring case).
#pragma once

#include <string>

#include "registry/Registry.h"

namespace qbtest {

std::string DumpKey(HKEY root, const std::string& path);

}  // namespace qbtest
