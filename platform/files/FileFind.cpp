#include "files/FileFind.h"

#include <sys/stat.h>

bool CFileFind::FindFile(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) {
        found_.clear();
        return false;
    }
    found_ = path;
    return true;
}
