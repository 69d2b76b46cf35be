// The operations behind qbreg, one per command. Each returns the process exit status
// (0 success, 1 failure) and writes its messages to the given streams.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "registry/Registry.h"

namespace qbreg {

// A parsed KEY argument: a root and a path below it.
struct KeyPath {
    HKEY root = nullptr;
    std::string rootName;  // HKEY_LOCAL_MACHINE or HKEY_CLASSES_ROOT
    std::string path;      // may be empty (the root itself)
    std::string Full() const { return path.empty() ? rootName : rootName + "\\" + path; }
};

// Accepts HKLM, HKCR, their long names (any case), alone or followed by \path.
std::optional<KeyPath> ParseKey(const std::string& text);

// The value an option names: /v NAME, or /ve for the default value.
struct ValueName {
    bool given = false;
    std::string name;
};

int Query(const KeyPath& key, const ValueName& value, bool recursive, std::FILE* out);
int Add(const KeyPath& key, const ValueName& value, const std::string& type,
        const std::optional<std::string>& data, bool force, std::FILE* out);
int Delete(const KeyPath& key, const ValueName& value, bool allValues, bool force,
           std::FILE* out);
int Export(const KeyPath& key, const std::string& file, std::FILE* out);

// "REG_SZ", "REG_DWORD", ... for a type code.
std::string TypeName(DWORD type);

}  // namespace qbreg
