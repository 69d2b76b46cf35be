#include "SafeReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>

#include "Crypto.h"
#include "files/FileException.h"
#include "files/FileSystem.h"

namespace {

[[noreturn]] void ThrowErrno(int err, const std::string& path) {
    throw CFileException(CFileException::CauseFromErrno(err), err, path);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the rename itself durable. A folder that cannot be synced still holds the
// complete new file, so a failure here is not reported.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::int64_t LengthOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
}

}  // namespace

SafeReplace::SafeReplace(std::string target) : target_(std::move(target)) {
    std::string pattern = target_ + ".new-XXXXXX";
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);  // mode 0600
    if (fd_ < 0) {
        ThrowErrno(errno, pattern);
    }
    temp_ = std::move(pattern);
}

SafeReplace::~SafeReplace() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!committed_) {
        ::unlink(temp_.c_str());
    }
}

void SafeReplace::Commit() {
    if (::fsync(fd_) != 0) {
        ThrowErrno(errno, temp_);
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR) {
        ThrowErrno(errno, temp_);
    }
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        ThrowErrno(errno, target_);
    }
    committed_ = true;
    SyncFolder(FolderOf(target_));
}

void EncipherOver(const std::string& plaintext, const std::string& store) {
    const DWORD attributes = GetFileAttributesA(store.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        throw CryptException("Error opening Destination file!\n");
    }
    std::unique_ptr<SafeReplace> replace;
    try {
        replace = std::make_unique<SafeReplace>(store);
    } catch (const CFileException&) {
        throw CryptException("Error opening Destination file!\n");
    }
    CCrypto crypto;
    crypto.ConvertFile(plaintext, replace->TempPath());
    // The cipher skips some paths silently and stops early when its source shrinks;
    // a short result must never replace a whole store.
    const std::int64_t expected = LengthOf(plaintext);
    if (expected < 0 || LengthOf(replace->TempPath()) != expected) {
        throw CFileException(CFileException::genericException, 0, store);
    }
    replace->Commit();
}
