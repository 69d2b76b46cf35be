#include "system/ModuleFile.h"

#include <limits.h>
#include <link.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "system/LastError.h"

namespace {

std::string ProgramPath() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

// The path of a dlopen handle. The handle must be one of the loaded objects: it is
// looked up in the dynamic linker's list rather than trusted, so a stray pointer gives
// "not found" instead of a crash.
bool ModulePath(HMODULE module, std::string& path) {
    for (const link_map* map = _r_debug.r_map; map != nullptr; map = map->l_next) {
        if (reinterpret_cast<const void*>(map) != reinterpret_cast<const void*>(module)) {
            continue;
        }
        if (map->l_name == nullptr || map->l_name[0] == '\0') {
            path = ProgramPath();  // dlopen(nullptr) names the program
        } else if (map->l_name[0] == '/') {
            path = map->l_name;
        } else {
            char resolved[PATH_MAX];
            path = ::realpath(map->l_name, resolved) != nullptr ? resolved : map->l_name;
        }
        return !path.empty();
    }
    return false;
}

}  // namespace

DWORD GetModuleFileNameA(HMODULE module, char* fileName, DWORD size) {
    std::string path;
    if (module == nullptr) {
        path = ProgramPath();
        if (path.empty()) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return 0;
        }
    } else if (!ModulePath(module, path)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (fileName == nullptr || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (path.size() >= size) {
        std::memcpy(fileName, path.data(), size - 1);
        fileName[size - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::memcpy(fileName, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}
