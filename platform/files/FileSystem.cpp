#include "files/FileSystem.h"

#include <sys/stat.h>
#include <unistd.h>

BOOL DeleteFileA(const char* fileName) {
    struct stat st {};
    if (fileName == nullptr || ::lstat(fileName, &st) != 0 || S_ISDIR(st.st_mode)) {
        return FALSE;
    }
    // A read-only file is protected from deletion, as on Windows.
    if (!S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0) {
        return FALSE;
    }
    return ::unlink(fileName) == 0 ? TRUE : FALSE;
}

BOOL SetFileAttributesA(const char* fileName, DWORD attributes) {
    struct stat st {};
    if (fileName == nullptr || ::stat(fileName, &st) != 0) {
        return FALSE;
    }
    mode_t mode = st.st_mode & 07777;
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        mode &= static_cast<mode_t>(~(S_IWUSR | S_IWGRP | S_IWOTH));
    } else {
        mode |= S_IWUSR;
    }
    return ::chmod(fileName, mode) == 0 ? TRUE : FALSE;
}

DWORD GetFileAttributesA(const char* fileName) {
    struct stat st {};
    if (fileName == nullptr || ::stat(fileName, &st) != 0) {
        return INVALID_FILE_ATTRIBUTES;
    }
    DWORD attributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if ((st.st_mode & S_IWUSR) == 0) {
        attributes |= FILE_ATTRIBUTE_READONLY;
    }
    return attributes;
}
