#include "SettingsKey.h"

#include <cstring>
#include <vector>

namespace settings {

Key::Key(const char* path) {
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, kAccess, &handle_) != ERROR_SUCCESS) {
        handle_ = nullptr;
    }
}

Key::~Key() {
    if (handle_ != nullptr) {
        RegCloseKey(handle_);
    }
}

std::string Key::ReadString(const char* name, bool* fits) const {
    if (fits != nullptr) {
        *fits = true;
    }
    // One byte more than we ask for, so the text always ends inside the buffer.
    std::vector<char> buffer(kStringBuffer + 1, '\0');
    DWORD size = kStringBuffer;
    LSTATUS status = RegQueryValueExA(handle_, name, nullptr, nullptr,
                                      reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (status == ERROR_MORE_DATA) {
        if (fits != nullptr) {
            *fits = false;
        }
        buffer.assign(size + 1, '\0');
        status = RegQueryValueExA(handle_, name, nullptr, nullptr,
                                  reinterpret_cast<BYTE*>(buffer.data()), &size);
    }
    if (status != ERROR_SUCCESS) {
        return {};
    }
    return std::string(buffer.data(), ::strnlen(buffer.data(), size));
}

bool Key::HasValue(const char* name) const {
    return RegQueryValueExA(handle_, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

}  // namespace settings
