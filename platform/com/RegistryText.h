// Reading string values of the registry for the object runtime.
#pragma once

#include <string>

#include "registry/Registry.h"

namespace com {

// The text of a REG_SZ value (valueName null: the default value) of root\keyPath, up to
// its terminating zero. ERROR_FILE_NOT_FOUND when the key or the value is missing;
// ERROR_INVALID_PARAMETER when the value is not a string.
LSTATUS ReadString(HKEY root, const std::string& keyPath, const char* valueName, std::string* out);

}  // namespace com
