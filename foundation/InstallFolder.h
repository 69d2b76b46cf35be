// The install folder: value Path of HKLM\SOFTWARE\Quenby\AppPath, read afresh on every
// call. Callers build paths by appending fixed pieces ("/Data", "/Resources/") to it.
#pragma once

#include <string>

// Sets folder to the stored text exactly as it is (nothing trimmed or added). When the
// key cannot be opened, folder is left as the caller passed it; a missing value gives
// the empty string. Shows nothing, throws nothing.
void GetInstallFolder(std::string& folder);
