#include "com/RegistryText.h"

namespace com {

LSTATUS ReadString(HKEY root, const std::string& keyPath, const char* valueName, std::string* out) {
    out->clear();
    HKEY key = nullptr;
    LSTATUS status = RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, &key);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    DWORD type = 0;
    DWORD size = 0;
    status = RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size);
    if (status == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ) {
        status = ERROR_INVALID_PARAMETER;
    }
    if (status == ERROR_SUCCESS && size > 0) {
        std::string data(size, '\0');
        status = RegQueryValueExA(key, valueName, nullptr, &type,
                                  reinterpret_cast<BYTE*>(data.data()), &size);
        data.resize(size);
        *out = data.substr(0, data.find('\0'));
    }
    RegCloseKey(key);
    return status;
}

}  // namespace com
