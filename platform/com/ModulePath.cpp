#include "com/ModulePath.h"

#include <dlfcn.h>

#include <climits>
#include <cstdlib>

namespace com {

std::string RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : std::string();
}

std::string ModulePathOf(const void* address) {
    Dl_info info{};
    if (::dladdr(address, &info) == 0 || info.dli_fname == nullptr || info.dli_fname[0] == 0) {
        return RealPath("/proc/self/exe");
    }
    return RealPath(info.dli_fname);
}

}  // namespace com
