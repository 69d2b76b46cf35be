#include "system/UnixSocket.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace sys::detail {

Fd& Fd::operator=(Fd&& other) noexcept {
    if (this != &other) {
        Reset(other.Release());
    }
    return *this;
}

int Fd::Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

void Fd::Reset(int fd) {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = fd;
}

bool SocketAddress::Set(const std::string& path) {
    address_ = {};
    address_.sun_family = AF_UNIX;
    folder_.Reset();
    std::string target = path;
    if (target.size() >= sizeof(address_.sun_path)) {
        const std::size_t slash = path.find_last_of('/');
        if (slash == std::string::npos) {
            errno = ENAMETOOLONG;
            return false;
        }
        folder_.Reset(::open(path.substr(0, slash + 1).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!folder_) {
            return false;
        }
        target = "/proc/self/fd/" + std::to_string(folder_.get()) + path.substr(slash);
        if (target.size() >= sizeof(address_.sun_path)) {
            errno = ENAMETOOLONG;
            return false;
        }
    }
    std::memcpy(address_.sun_path, target.c_str(), target.size() + 1);
    size_ = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + target.size() + 1);
    return true;
}

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

Fd NewSocket(int type) {
    return Fd(::socket(AF_UNIX, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
}

bool BindReplacingStale(int sock, const std::string& path) {
    SocketAddress address;
    if (!address.Set(path)) {
        return false;
    }
    if (::bind(sock, address.get(), address.size()) == 0) {
        return true;
    }
    if (errno != EADDRINUSE) {
        return false;
    }
    int type = 0;
    socklen_t length = sizeof(type);
    ::getsockopt(sock, SOL_SOCKET, SO_TYPE, &type, &length);
    // Is anybody still there? A socket whose owner is gone refuses connections.
    const Fd probe = NewSocket(type);
    if (probe && ::connect(probe.get(), address.get(), address.size()) != 0 &&
        errno == ECONNREFUSED) {
        ::unlink(path.c_str());
        return ::bind(sock, address.get(), address.size()) == 0;
    }
    errno = EADDRINUSE;
    return false;
}

Fd ConnectTo(const std::string& path, int type, Clock::time_point deadline) {
    SocketAddress address;
    if (!address.Set(path)) {
        return Fd();
    }
    for (;;) {
        Fd sock = NewSocket(type);
        if (!sock) {
            return Fd();
        }
        if (::connect(sock.get(), address.get(), address.size()) == 0) {
            return sock;
        }
        if (errno != EAGAIN) {
            return Fd();
        }
        // The listener's queue is full: it is alive but behind. Try again shortly.
        if (Clock::now() >= deadline) {
            errno = ETIMEDOUT;
            return Fd();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

namespace {

bool WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, MillisecondsLeft(deadline));
        if (n > 0) {
            return true;
        }
        if (n == 0) {
            return false;
        }
        if (errno != EINTR) {
            return false;
        }
    }
}

}  // namespace

bool WaitReadable(int fd, Clock::time_point deadline) {
    return WaitFor(fd, POLLIN, deadline);
}

bool WaitWritable(int fd, Clock::time_point deadline) {
    return WaitFor(fd, POLLOUT, deadline);
}

}  // namespace sys::detail
