#include "system/WindowHost.h"

#include <fcntl.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <deque>
#include <map>
#include <mutex>
#include <optional>

#include "system/LastError.h"
#include "system/RuntimeFolder.h"
#include "system/UnixSocket.h"

namespace sys::detail {
namespace {

// What an epoll event is about: the top byte of its data is the kind, the rest the
// window id (listeners) or the descriptor (connections whose request is not read yet).
enum class Source : std::uint64_t { Wake = 1, Listener = 2, Connection = 3 };

std::uint64_t Tag(Source source, std::uint64_t value) {
    return (static_cast<std::uint64_t>(source) << 56) | value;
}

struct Listening {
    Fd socket;
};

// A request read and waiting for its turn. conn is open for sends (the reply goes
// there) and empty for requests queued from this process.
struct ReadyMessage {
    Fd conn;
    DWORD window = 0;
    Request request;
};

struct Host {
    std::mutex mutex;
    std::map<DWORD, std::shared_ptr<LocalWindow>> windows;
    std::map<DWORD, Listening> listeners;
    std::map<int, std::pair<Fd, DWORD>> unread;  // accepted connections, request not read
    std::deque<ReadyMessage> ready;
    DWORD nextId = 1;
    Fd epoll;
    Fd wake;  // an eventfd: counter non-zero exactly while `ready` is not empty

    bool EnsurePoller() {
        if (epoll) {
            return true;
        }
        Fd ep(::epoll_create1(EPOLL_CLOEXEC));
        Fd ev(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
        if (!ep || !ev) {
            return false;
        }
        epoll_event e{};
        e.events = EPOLLIN;
        e.data.u64 = Tag(Source::Wake, 0);
        if (::epoll_ctl(ep.get(), EPOLL_CTL_ADD, ev.get(), &e) != 0) {
            return false;
        }
        epoll = std::move(ep);
        wake = std::move(ev);
        return true;
    }

    void Watch(int fd, Source source, std::uint64_t value) {
        epoll_event e{};
        e.events = EPOLLIN;
        e.data.u64 = Tag(source, value);
        ::epoll_ctl(epoll.get(), EPOLL_CTL_ADD, fd, &e);
    }

    void Unwatch(int fd) { ::epoll_ctl(epoll.get(), EPOLL_CTL_DEL, fd, nullptr); }

    void Push(ReadyMessage message) {
        ready.push_back(std::move(message));
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wake.get(), &one, sizeof(one));
    }

    void ClearWakeIfIdle() {
        if (ready.empty()) {
            std::uint64_t count = 0;
            [[maybe_unused]] const ssize_t n = ::read(wake.get(), &count, sizeof(count));
        }
    }

    // Reads the one request of a connection. Nullopt and errno EAGAIN when it has not
    // arrived yet; nullopt otherwise when the connection is done with (closed, bad).
    static std::optional<Request> ReadRequest(int conn) {
        std::uint8_t buffer[kRequestSize + 1];
        const ssize_t n = ::recv(conn, buffer, sizeof(buffer), MSG_DONTWAIT);
        if (n < 0) {
            return std::nullopt;  // errno tells whether to wait
        }
        errno = 0;
        return DecodeRequest(buffer, static_cast<std::size_t>(n));
    }

    static bool PeerIsUs(int conn) {
        ucred cred{};
        socklen_t length = sizeof(cred);
        return ::getsockopt(conn, SOL_SOCKET, SO_PEERCRED, &cred, &length) == 0 &&
               cred.uid == ::geteuid();
    }

    void TakeConnection(Fd conn, DWORD window) {
        if (!PeerIsUs(conn.get())) {
            return;
        }
        if (auto request = ReadRequest(conn.get())) {
            Push({std::move(conn), window, *request});
        } else if (errno == EAGAIN) {
            const int fd = conn.get();
            Watch(fd, Source::Connection, static_cast<std::uint64_t>(fd));
            unread.emplace(fd, std::make_pair(std::move(conn), window));
        }
    }

    // Moves whatever the sockets have into `ready`, in arrival order.
    void PollSockets() {
        epoll_event events[32];
        const int n = ::epoll_wait(epoll.get(), events, 32, 0);
        for (int i = 0; i < n; ++i) {
            const auto source = static_cast<Source>(events[i].data.u64 >> 56);
            const std::uint64_t value = events[i].data.u64 & ((std::uint64_t{1} << 56) - 1);
            if (source == Source::Listener) {
                const auto it = listeners.find(static_cast<DWORD>(value));
                if (it == listeners.end()) {
                    continue;
                }
                for (;;) {
                    Fd conn(::accept4(it->second.socket.get(), nullptr, nullptr,
                                      SOCK_NONBLOCK | SOCK_CLOEXEC));
                    if (!conn) {
                        break;
                    }
                    TakeConnection(std::move(conn), static_cast<DWORD>(value));
                }
            } else if (source == Source::Connection) {
                const auto it = unread.find(static_cast<int>(value));
                if (it == unread.end()) {
                    continue;
                }
                Unwatch(it->first);
                auto [conn, window] = std::move(it->second);
                unread.erase(it);
                if (auto request = ReadRequest(conn.get())) {
                    Push({std::move(conn), window, *request});
                }
            }
        }
    }

    std::optional<ReadyMessage> TakeNext() {
        std::lock_guard lock(mutex);
        if (!epoll) {
            return std::nullopt;
        }
        if (ready.empty()) {
            PollSockets();
        }
        if (ready.empty()) {
            ClearWakeIfIdle();
            return std::nullopt;
        }
        ReadyMessage message = std::move(ready.front());
        ready.pop_front();
        ClearWakeIfIdle();
        return message;
    }
};

Host& TheHost() {
    static auto* host = new Host();  // windows may outlive static destruction order
    return *host;
}

void SendReply(int conn, ReplyKind kind, LRESULT result) {
    const auto bytes = EncodeReply({kind, result});
    [[maybe_unused]] const ssize_t n =
        ::send(conn, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}

void Run(ReadyMessage& message) {
    const auto window = FindLocalWindow(message.window);
    if (!window || message.request.window != message.window) {
        return;  // the window is gone: a sender sees its connection close
    }
    const Request& r = message.request;
    switch (r.kind) {
        case RequestKind::Send: {
            SendReply(message.conn.get(), ReplyKind::Accepted, 0);
            const LRESULT result = window->proc(window->handle, r.message, r.wParam, r.lParam);
            SendReply(message.conn.get(), ReplyKind::Result, result);
            break;
        }
        case RequestKind::Post:
            message.conn.Reset();
            window->proc(window->handle, r.message, r.wParam, r.lParam);
            break;
        case RequestKind::Raise:
            message.conn.Reset();
            if (window->raise) {
                window->raise();
            }
            break;
    }
}

bool WriteCaptionFile(const std::string& path, const std::string& caption) {
    Fd file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!file) {
        return false;
    }
    std::size_t done = 0;
    while (done < caption.size()) {
        const ssize_t n = ::write(file.get(), caption.data() + done, caption.size() - done);
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::shared_ptr<const LocalWindow> FindLocalWindow(DWORD id) {
    Host& host = TheHost();
    std::lock_guard lock(host.mutex);
    const auto it = host.windows.find(id);
    return it != host.windows.end() ? it->second : nullptr;
}

bool QueueLocal(const Request& request) {
    Host& host = TheHost();
    std::lock_guard lock(host.mutex);
    if (host.windows.count(request.window) == 0) {
        return false;
    }
    host.Push({Fd(), request.window, request});
    return true;
}

bool IsOwnProcess(HWND window) {
    return ProcessOf(window) == static_cast<std::uint32_t>(::getpid());
}

}  // namespace sys::detail

using sys::detail::Fd;
using sys::detail::TheHost;

HWND CreateTopLevelWindow(const char* caption, WindowProc proc, std::function<void()> raise) {
    const std::string folder = sys::RuntimeFolder();
    if (folder.empty()) {
        return nullptr;
    }
    auto& host = TheHost();
    std::lock_guard lock(host.mutex);
    if (!host.EnsurePoller()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto window = std::make_shared<sys::detail::LocalWindow>();
    window->id = host.nextId++;
    const auto pid = static_cast<std::uint32_t>(::getpid());
    window->handle = sys::detail::MakeWindowHandle(pid, window->id);
    window->caption = caption != nullptr ? caption : "";
    window->proc = std::move(proc);
    window->raise = std::move(raise);
    window->owner = std::this_thread::get_id();
    const std::string stem = folder + "/" + sys::detail::WindowFileStem(pid, window->id);
    window->socketPath = stem + ".sock";
    window->captionPath = stem + ".caption";

    // Listen first, then publish the caption: a caption file always has a listener
    // behind it unless its process is gone.
    Fd listener = sys::detail::NewSocket(SOCK_SEQPACKET);
    if (!listener || !sys::detail::BindReplacingStale(listener.get(), window->socketPath) ||
        ::listen(listener.get(), 64) != 0 ||
        !sys::detail::WriteCaptionFile(window->captionPath, window->caption)) {
        ::unlink(window->socketPath.c_str());
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    host.Watch(listener.get(), sys::detail::Source::Listener, window->id);
    host.listeners[window->id].socket = std::move(listener);
    host.windows.emplace(window->id, window);
    return window->handle;
}

BOOL DestroyWindow(HWND hwnd) {
    auto& host = TheHost();
    std::lock_guard lock(host.mutex);
    const DWORD id = sys::detail::WindowIdOf(hwnd);
    const auto it = host.windows.find(id);
    if (!sys::detail::IsOwnProcess(hwnd) || it == host.windows.end()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    // Unpublish the caption before the socket goes, the reverse of creation.
    ::unlink(it->second->captionPath.c_str());
    ::unlink(it->second->socketPath.c_str());
    host.windows.erase(it);
    const auto listener = host.listeners.find(id);
    if (listener != host.listeners.end()) {
        host.Unwatch(listener->second.socket.get());
        host.listeners.erase(listener);  // closing it refuses whoever still queues
    }
    for (auto unread = host.unread.begin(); unread != host.unread.end();) {
        if (unread->second.second == id) {
            host.Unwatch(unread->first);
            unread = host.unread.erase(unread);
        } else {
            ++unread;
        }
    }
    // Requests already read stay queued; Run() drops them, which closes their senders.
    return TRUE;
}

namespace sys {

int WindowMessageDescriptor() {
    auto& host = TheHost();
    std::lock_guard lock(host.mutex);
    return host.epoll ? host.epoll.get() : -1;
}

int DispatchWindowMessages(int maxMessages) {
    int ran = 0;
    while (ran < maxMessages) {
        std::optional<detail::ReadyMessage> message = TheHost().TakeNext();
        if (!message) {
            break;
        }
        detail::Run(*message);  // the host is unlocked: the procedure may dispatch again
        ++ran;
    }
    return ran;
}

}  // namespace sys
