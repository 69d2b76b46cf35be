#include "system/Mutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "system/LastError.h"
#include "system/RuntimeFolder.h"

namespace sys {
namespace {

constexpr std::size_t kMaxFileName = 255;
// Creation takes this process-wide guard for the few microseconds it needs; a holder
// that stopped half-way is not waited for longer than this.
constexpr auto kGuardPatience = std::chrono::seconds(5);

class MutexObject : public KernelObject {
  public:
    explicit MutexObject(int fd) : fd_(fd) {}
    ~MutexObject() override {
        if (fd_ >= 0) {
            ::close(fd_);  // drops the shared lock
        }
    }

  private:
    int fd_;
};

int OpenLockFile(const std::string& path) {
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
}

// Holds the creation guard while alive (or nothing, when it could not be had in time).
class CreationGuard {
  public:
    explicit CreationGuard(const std::string& folder) {
        fd_ = OpenLockFile(folder + "/mutexes.guard");
        if (fd_ < 0) {
            return;
        }
        const auto deadline = std::chrono::steady_clock::now() + kGuardPatience;
        while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::close(fd_);
                fd_ = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    ~CreationGuard() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    CreationGuard(const CreationGuard&) = delete;
    CreationGuard& operator=(const CreationGuard&) = delete;

  private:
    int fd_ = -1;
};

bool IsPlainNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '-';
}

}  // namespace

std::string MutexFileName(std::string_view name) {
    for (std::string_view prefix : {"Local\\", "Global\\"}) {
        if (name.substr(0, prefix.size()) == prefix) {
            name.remove_prefix(prefix.size());
            break;
        }
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string file = "mutex-";
    for (const char c : name) {
        if (IsPlainNameChar(c)) {
            file += c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            file += '%';
            file += kHex[byte >> 4];
            file += kHex[byte & 0xF];
        }
    }
    file += ".lock";
    return file.size() <= kMaxFileName ? file : std::string();
}

}  // namespace sys

HANDLE CreateMutexA(SECURITY_ATTRIBUTES* /*attributes*/, BOOL /*initialOwner*/, const char* name) {
    if (name == nullptr || *name == '\0') {
        SetLastError(ERROR_SUCCESS);
        return sys::NewHandle(std::make_unique<sys::MutexObject>(-1));
    }
    const std::string file = sys::MutexFileName(name);
    if (file.empty()) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return nullptr;
    }
    const std::string folder = sys::RuntimeFolder();
    if (folder.empty()) {
        return nullptr;  // RuntimeFolder set the error
    }
    const sys::CreationGuard guard(folder);
    const int fd = sys::OpenLockFile(folder + "/" + file);
    if (fd < 0) {
        SetLastError(errno == EACCES || errno == ELOOP ? ERROR_ACCESS_DENIED
                                                       : ERROR_PATH_NOT_FOUND);
        return nullptr;
    }
    DWORD status = ERROR_ALREADY_EXISTS;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        // Nobody else holds it: a new mutex. Step down to a shared lock so that later
        // holders can join; the guard keeps other creators out while the lock changes.
        status = ERROR_SUCCESS;
        ::flock(fd, LOCK_SH);
    } else {
        ::flock(fd, LOCK_SH | LOCK_NB);
    }
    SetLastError(status);
    return sys::NewHandle(std::make_unique<sys::MutexObject>(fd));
}
