// How every settings operation reaches the registry: keys under HKEY_LOCAL_MACHINE
// opened with KEY_READ | KEY_WRITE (also for reading, so a user who may not write the
// settings cannot open them at all), string values read into a zero-filled 260-byte
// buffer, and the key closed at the end of each operation.
#pragma once

#include <string>

#include "registry/Registry.h"

namespace settings {

constexpr REGSAM kAccess = 0x2001F;  // KEY_READ | KEY_WRITE
constexpr DWORD kStringBuffer = 260;
constexpr const char* kSettingsKey = "SOFTWARE\\Quenby";
constexpr const char* kAppPathKey = "SOFTWARE\\Quenby\\AppPath";

// An open settings key, closed when the object goes (RAII for RegCloseKey).
class Key {
public:
    explicit Key(const char* path);
    ~Key();
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    bool IsOpen() const { return handle_ != nullptr; }
    HKEY handle() const { return handle_; }

    // The text of a string value up to its first zero byte; empty when the value is
    // missing. *fits (optional) tells whether the value fit the 260-byte buffer; a
    // value that does not is still returned whole.
    std::string ReadString(const char* name, bool* fits = nullptr) const;
    bool HasValue(const char* name) const;

private:
    HKEY handle_ = nullptr;
};

}  // namespace settings
