#include "RegistryDump.h"

#include <vector>

namespace qbtest {
namespace {

void Dump(HKEY root, const std::string& path, std::string* out) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return;
    }
    if (!path.empty()) {
        *out += path + "\n";
    }
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameSize = sizeof name;
        std::vector<BYTE> data(4096);
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data.data(), &dataSize) !=
            ERROR_SUCCESS) {
            break;
        }
        std::string text(reinterpret_cast<const char*>(data.data()), dataSize);
        if (type == REG_SZ && !text.empty() && text.back() == '\0') {
            text.pop_back();
        } else {
            text = "(type " + std::to_string(type) + ")";
        }
        *out +=
            path + " " + (nameSize == 0 ? std::string("@") : std::string(name)) + "=" + text + "\n";
    }
    std::vector<std::string> children;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        children.emplace_back(name, size);
    }
    RegCloseKey(key);
    for (const std::string& child : children) {
        Dump(root, path.empty() ? child : path + "\\" + child, out);
    }
}

}  // namespace

std::string DumpKey(HKEY root, const std::string& path) {
    std::string out;
    Dump(root, path, &out);
    return out;
}

}  // namespace qbtest
