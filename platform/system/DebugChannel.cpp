#include "system/DebugChannel.h"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "system/LastError.h"
#include "system/RuntimeFolder.h"
#include "system/UnixSocket.h"

namespace sys {
namespace {

using detail::Clock;
using detail::Fd;

constexpr std::size_t kMaxDatagram = 64 * 1024;
constexpr auto kListenerPatience = std::chrono::seconds(1);
constexpr int kReceiveBuffer = 4 * 1024 * 1024;

// Sends one piece; waits for a full listener queue until the deadline.
bool SendPiece(int sock, const char* data, std::size_t size, Clock::time_point deadline) {
    for (;;) {
        if (::send(sock, data, size, MSG_NOSIGNAL | MSG_DONTWAIT) >= 0) {
            return true;
        }
        if (errno != EAGAIN || !detail::WaitWritable(sock, deadline)) {
            return false;
        }
    }
}

}  // namespace

std::string DebugChannelPath() {
    const std::string folder = RuntimeFolder();
    return folder.empty() ? std::string() : folder + "/debug.sock";
}

std::unique_ptr<DebugListener> DebugListener::Open() {
    const std::string path = DebugChannelPath();
    if (path.empty()) {
        errno = EACCES;
        return nullptr;
    }
    Fd sock = detail::NewSocket(SOCK_DGRAM);
    if (!sock || !detail::BindReplacingStale(sock.get(), path)) {
        return nullptr;
    }
    ::setsockopt(sock.get(), SOL_SOCKET, SO_RCVBUF, &kReceiveBuffer, sizeof(kReceiveBuffer));
    struct stat st {};
    ::stat(path.c_str(), &st);
    return std::unique_ptr<DebugListener>(
        new DebugListener(sock.Release(), path, static_cast<unsigned long>(st.st_ino)));
}

DebugListener::DebugListener(int socket, std::string path, unsigned long inode)
    : socket_(socket), path_(std::move(path)), inode_(inode) {}

DebugListener::~DebugListener() {
    struct stat st {};
    if (::stat(path_.c_str(), &st) == 0 && static_cast<unsigned long>(st.st_ino) == inode_) {
        ::unlink(path_.c_str());
    }
    ::close(socket_);
}

std::optional<std::string> DebugListener::Receive(int timeoutMs) {
    for (;;) {
        pollfd p{socket_, POLLIN, 0};
        const int ready = ::poll(&p, 1, timeoutMs);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return std::nullopt;
        }
        std::vector<char> buffer(kMaxDatagram + 1);
        const ssize_t n = ::recv(socket_, buffer.data(), buffer.size(), MSG_DONTWAIT);
        if (n >= 0) {
            return std::string(buffer.data(), static_cast<std::size_t>(n));
        }
        if (errno != EAGAIN && errno != EINTR) {
            return std::nullopt;
        }
    }
}

}  // namespace sys

void OutputDebugStringA(const char* text) {
    if (text == nullptr) {
        return;
    }
    // Tracing must not disturb the error state of the code it traces.
    const int savedErrno = errno;
    const DWORD savedError = GetLastError();
    const std::string path = sys::DebugChannelPath();
    const auto deadline = sys::detail::Clock::now() + sys::kListenerPatience;
    const sys::detail::Fd sock =
        path.empty() ? sys::detail::Fd() : sys::detail::ConnectTo(path, SOCK_DGRAM, deadline);
    if (sock) {
        const std::size_t size = std::strlen(text);
        std::size_t done = 0;
        do {
            const std::size_t piece = std::min(size - done, sys::kMaxDatagram);
            if (!sys::SendPiece(sock.get(), text + done, piece, deadline)) {
                break;  // nobody takes it: dropped, as without a debugger
            }
            done += piece;
        } while (done < size);
    }
    SetLastError(savedError);
    errno = savedErrno;
}
