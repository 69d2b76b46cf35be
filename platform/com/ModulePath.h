// Where a loaded module lives on disk.
#pragma once

#include <string>

namespace com {

// The full path (symbolic links resolved) of the file of the module that contains
// address: a shared object, or the program. "" when it cannot be told.
std::string ModulePathOf(const void* address);
// path with symbolic links and relative parts resolved; "" when it does not exist.
std::string RealPath(const std::string& path);

}  // namespace com
