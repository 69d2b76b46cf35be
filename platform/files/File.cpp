#include "files/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {
files::WriteFaultHook g_writeFault;
}  // namespace

void files::SetWriteFaultHookForTesting(WriteFaultHook hook) {
    g_writeFault = std::move(hook);
}

CFile::~CFile() {
    Abort();
}

bool CFile::Open(const std::string& fileName, UINT openFlags, CFileException* error) {
    Abort();
    auto fail = [&](int err) {
        if (error != nullptr) {
            *error = CFileException(CFileException::CauseFromErrno(err), err, fileName);
        }
        return false;
    };
    const UINT access = openFlags & 0x3;
    const bool writing = access == modeWrite || access == modeReadWrite;
    int flags = O_CLOEXEC;
    flags |= access == modeWrite ? O_WRONLY : access == modeReadWrite ? O_RDWR : O_RDONLY;
    if ((openFlags & modeCreate) != 0) {
        flags |= O_CREAT;
    }
    // Truncation waits until we know the file may be written (see below).
    const int fd = ::open(fileName.c_str(), flags, 0600);
    if (fd < 0) {
        return fail(errno);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        return fail(err);
    }
    if (S_ISDIR(st.st_mode)) {
        ::close(fd);
        return fail(EISDIR);
    }
    // Read-only is the owner's write bit, honoured for every user (root included).
    if (writing && (st.st_mode & S_IWUSR) == 0) {
        ::close(fd);
        return fail(EACCES);
    }
    if (writing && (openFlags & modeCreate) != 0 && (openFlags & modeNoTruncate) == 0 &&
        S_ISREG(st.st_mode) && ::ftruncate(fd, 0) != 0) {
        const int err = errno;
        ::close(fd);
        return fail(err);
    }
    fd_ = fd;
    path_ = fileName;
    return true;
}

UINT CFile::Read(void* buffer, UINT count) {
    auto* out = static_cast<char*>(buffer);
    UINT total = 0;
    while (total < count) {
        const ssize_t n = ::read(fd_, out + total, count - total);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            const int err = errno;
            throw CFileException(CFileException::CauseFromErrno(err), err, path_);
        }
        if (n == 0) {
            break;
        }
        total += static_cast<UINT>(n);
    }
    return total;
}

void CFile::Write(const void* buffer, UINT count) {
    if (g_writeFault && g_writeFault(path_)) {
        throw CFileException(CFileException::diskFull, ENOSPC, path_);
    }
    const auto* in = static_cast<const char*>(buffer);
    UINT total = 0;
    while (total < count) {
        const ssize_t n = ::write(fd_, in + total, count - total);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const int err = n < 0 ? errno : ENOSPC;
            throw CFileException(CFileException::CauseFromErrno(err), err, path_);
        }
        total += static_cast<UINT>(n);
    }
}

std::uint64_t CFile::GetLength() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        const int err = errno;
        throw CFileException(CFileException::CauseFromErrno(err), err, path_);
    }
    return static_cast<std::uint64_t>(st.st_size);
}

std::uint64_t CFile::Seek(std::int64_t offset, SeekPosition from) {
    const int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : SEEK_END;
    const off_t pos = ::lseek(fd_, offset, whence);
    if (pos < 0) {
        const int err = errno;
        throw CFileException(CFileException::badSeek, err, path_);
    }
    return static_cast<std::uint64_t>(pos);
}

void CFile::Close() {
    if (fd_ < 0) {
        return;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR) {
        const int err = errno;
        throw CFileException(CFileException::CauseFromErrno(err), err, path_);
    }
}

void CFile::Abort() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}
