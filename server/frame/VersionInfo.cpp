#include "VersionInfo.h"

namespace {

struct Entry {
    const char* subBlock;
    const char* value;
};

constexpr Entry kVersion[] = {
    {"\\FixedFileInfo\\FileVersion", "1.0.0.1"},
    {"\\FixedFileInfo\\ProductVersion", "1.0.0.1"},
    {"\\FixedFileInfo\\FileType", "VFT_DLL"},
    {"\\VarFileInfo\\Translation", "040904B0"},
    {"\\StringFileInfo\\040904B0\\FileVersion", "1, 0, 0, 1"},
    {"\\StringFileInfo\\040904B0\\ProductVersion", "1, 0, 0, 1"},
    {"\\StringFileInfo\\040904B0\\FileDescription", "QBStorage Module"},
    {"\\StringFileInfo\\040904B0\\ProductName", "QBStorage Module"},
    {"\\StringFileInfo\\040904B0\\InternalName", "QBStorage"},
    {"\\StringFileInfo\\040904B0\\OriginalFilename", "QBStorage.DLL"},
};

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    }
    return true;
}

}  // namespace

const char* VersionValue(std::string_view subBlock) {
    for (const Entry& e : kVersion) {
        if (SameName(e.subBlock, subBlock))
            return e.value;
    }
    return nullptr;
}
