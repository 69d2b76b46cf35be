// The version block of the server module, readable by name like a version resource:
//   "\FixedFileInfo\FileVersion"     "1.0.0.1"
//   "\FixedFileInfo\ProductVersion"  "1.0.0.1"
//   "\FixedFileInfo\FileType"        "VFT_DLL"
//   "\VarFileInfo\Translation"       "040904B0"  (U.S. English, Unicode)
//   "\StringFileInfo\040904B0\<name>" for FileVersion, ProductVersion ("1, 0, 0, 1"),
//     FileDescription, ProductName ("QBStorage Module"), InternalName ("QBStorage"),
//     OriginalFilename ("QBStorage.DLL").
// Names compare ignoring ASCII case.
#pragma once

#include <string_view>

// The value of a sub-block, or null when there is none.
const char* VersionValue(std::string_view subBlock);
