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
    // The data must be on the disk before the name points at it; the rename itself
    // needs no flush: lost in a power failure, it leaves the old store, whole.
    if (::fdatasync(fd_) != 0) {
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
}
