#include "system/RuntimeFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "system/LastError.h"

namespace sys {
namespace {

// Creates path (and its missing parents) with mode 0700 unless it exists.
bool MakeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) {
        return true;
    }
    if (errno == ENOENT) {
        const std::size_t slash = path.find_last_of('/');
        if (slash != std::string::npos && slash > 0 && MakeFolder(path.substr(0, slash)) &&
            (::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST)) {
            return true;
        }
    }
    SetLastError(errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_PATH_NOT_FOUND);
    return false;
}

// Makes sure path is a private folder of ours, creating it when needed.
bool EnsurePrivateFolder(const std::string& path) {
    if (!MakeFolder(path)) {
        return false;
    }
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    if ((st.st_mode & 077) != 0 && ::chmod(path.c_str(), 0700) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    return true;
}

}  // namespace

std::string RuntimeFolder() {
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    std::string base;
    if (xdg != nullptr && *xdg != '\0') {
        // The session's runtime folder is the system's to guard; it only has to exist.
        base = xdg;
        while (base.size() > 1 && base.back() == '/') {
            base.pop_back();
        }
        if (!MakeFolder(base)) {
            return {};
        }
    } else {
        // In the shared /tmp anybody could have made the folder first: it must be ours.
        base = "/tmp/quenby-" + std::to_string(::geteuid());
        if (!EnsurePrivateFolder(base)) {
            return {};
        }
    }
    const std::string folder = base + "/quenby";
    if (!EnsurePrivateFolder(folder)) {
        return {};
    }
    return folder;
}

}  // namespace sys
