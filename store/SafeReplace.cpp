#include "SafeReplace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "files/FileException.h"

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
