// Unix-domain socket helpers shared by the window messages and the debug channel.
// Internal to platform/system.
//
// Paths longer than a socket address holds (108 bytes) are reached through
// /proc/self/fd/<folder descriptor>/<name>, so a deep XDG_RUNTIME_DIR still works.
// Every descriptor is close-on-exec. Sends never raise SIGPIPE.
//
// Thread: any; objects are not shared between threads.
#pragma once

#include <sys/socket.h>
#include <sys/un.h>

#include <chrono>
#include <string>

namespace sys::detail {

// An owned descriptor, closed on destruction.
class Fd {
  public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() { Reset(); }
    Fd(Fd&& other) noexcept : fd_(other.Release()) {}
    Fd& operator=(Fd&& other) noexcept;
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int Release();
    void Reset(int fd = -1);

  private:
    int fd_ = -1;
};

// The address of a socket file; keeps the folder open while a long path needs it.
class SocketAddress {
  public:
    // False (errno ENAMETOOLONG or from opening the folder) when path cannot be addressed.
    bool Set(const std::string& path);
    const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&address_); }
    socklen_t size() const { return size_; }

  private:
    sockaddr_un address_{};
    socklen_t size_ = 0;
    Fd folder_;
};

using Clock = std::chrono::steady_clock;

// Milliseconds left until deadline, at least 0.
int MillisecondsLeft(Clock::time_point deadline);

// A new non-blocking socket of the given type (SOCK_SEQPACKET, SOCK_DGRAM).
Fd NewSocket(int type);

// Binds sock to path. A socket file left by a process that is gone (nobody accepts
// on it) is removed and the bind tried again; a live one gives EADDRINUSE.
bool BindReplacingStale(int sock, const std::string& path);

// Connects a new non-blocking socket of the given type to path, retrying while the
// listener's queue is full until the deadline. On failure the result is empty and
// errno tells why (ENOENT, ECONNREFUSED: nobody there; ETIMEDOUT: queue stayed full).
Fd ConnectTo(const std::string& path, int type, Clock::time_point deadline);

// Waits until fd is readable (or writable) or the deadline passes; false on timeout.
bool WaitReadable(int fd, Clock::time_point deadline);
bool WaitWritable(int fd, Clock::time_point deadline);

}  // namespace sys::detail
