// The calling side of window messages: find a window by caption, send, post, raise.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <vector>

#include "system/LastError.h"
#include "system/RuntimeFolder.h"
#include "system/UnixSocket.h"
#include "system/Window.h"
#include "system/WindowHost.h"
#include "text/CaseCompare.h"

namespace sys {
namespace {

using detail::Clock;
using detail::Fd;

std::atomic<UINT> g_sendTimeoutMs{5000};

// Captions longer than this are not ours to compare (nothing registers such a title).
constexpr std::size_t kMaxCaption = 64 * 1024;

struct WindowFiles {
    std::string socketPath;
    std::string captionPath;
};

WindowFiles FilesOf(const std::string& folder, HWND window) {
    const std::string stem =
        folder + "/" +
        detail::WindowFileStem(detail::ProcessOf(window), detail::WindowIdOf(window));
    return {stem + ".sock", stem + ".caption"};
}

bool ReadCaption(const std::string& path, std::string& caption) {
    Fd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (!file) {
        return false;
    }
    caption.clear();
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(file.get(), buffer, sizeof(buffer));
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            return true;
        }
        caption.append(buffer, static_cast<std::size_t>(n));
        if (caption.size() > kMaxCaption) {
            return false;
        }
    }
}

enum class Liveness { Alive, Gone };

// Whether somebody still listens on a window's socket. Connecting needs nothing from
// the window's thread, so a busy or hung window is still found.
Liveness Probe(const WindowFiles& files) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(200);
    const Fd conn = detail::ConnectTo(files.socketPath, SOCK_SEQPACKET, deadline);
    if (conn || errno == ETIMEDOUT) {
        return Liveness::Alive;
    }
    return Liveness::Gone;
}

void RemoveStale(const WindowFiles& files) {
    ::unlink(files.captionPath.c_str());
    ::unlink(files.socketPath.c_str());
}

bool IsAlive(HWND window, const std::string& folder) {
    if (window == nullptr || detail::WindowIdOf(window) == 0) {
        return false;
    }
    if (detail::IsOwnProcess(window)) {
        return detail::FindLocalWindow(detail::WindowIdOf(window)) != nullptr;
    }
    const WindowFiles files = FilesOf(folder, window);
    return ::access(files.captionPath.c_str(), F_OK) == 0 && Probe(files) == Liveness::Alive;
}

bool CaptionMatches(const std::string& caption, const char* wanted) {
    return wanted == nullptr || caption == wanted || text::EqualsNoCase(caption, wanted);
}

// Sends one request over a new connection; for sends, waits for the two replies.
SendOutcome Deliver(HWND window, const detail::Request& request, UINT timeoutMs) {
    SendOutcome outcome;
    outcome.error = ERROR_INVALID_WINDOW_HANDLE;
    const std::string folder = RuntimeFolder();
    if (folder.empty() || window == nullptr || request.window == 0) {
        return outcome;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const Fd conn = detail::ConnectTo(FilesOf(folder, window).socketPath, SOCK_SEQPACKET, deadline);
    if (!conn) {
        if (errno == ETIMEDOUT) {
            outcome.error = ERROR_TIMEOUT;
        }
        return outcome;
    }
    const auto bytes = detail::EncodeRequest(request);
    if (::send(conn.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(bytes.size())) {
        return outcome;
    }
    if (request.kind != detail::RequestKind::Send) {
        outcome.delivered = true;
        outcome.answered = true;
        outcome.error = 0;
        return outcome;
    }
    for (;;) {
        if (!detail::WaitReadable(conn.get(), deadline)) {
            outcome.error = ERROR_TIMEOUT;
            return outcome;
        }
        std::uint8_t buffer[detail::kReplySize + 1];
        const ssize_t n = ::recv(conn.get(), buffer, sizeof(buffer), MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            continue;
        }
        const auto reply =
            n > 0 ? detail::DecodeReply(buffer, static_cast<std::size_t>(n)) : std::nullopt;
        if (!reply) {
            return outcome;  // closed: the window went away (or answered nonsense)
        }
        if (reply->kind == detail::ReplyKind::Accepted) {
            outcome.delivered = true;
            continue;
        }
        outcome.answered = true;
        outcome.result = reply->result;
        outcome.error = 0;
        return outcome;
    }
}

detail::Request MakeRequest(detail::RequestKind kind, HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam) {
    detail::Request request;
    request.kind = kind;
    request.window = detail::WindowIdOf(window);
    request.message = message;
    request.wParam = wParam;
    request.lParam = lParam;
    return request;
}

// Posts and raises: queued directly for windows of this process, else delivered.
BOOL Queue(detail::RequestKind kind, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const detail::Request request = MakeRequest(kind, window, message, wParam, lParam);
    if (window != nullptr && detail::IsOwnProcess(window)) {
        if (detail::QueueLocal(request)) {
            return TRUE;
        }
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const SendOutcome outcome = Deliver(window, request, g_sendTimeoutMs.load());
    if (!outcome.delivered) {
        SetLastError(outcome.error);
        return FALSE;
    }
    return TRUE;
}

}  // namespace

void SetSendMessageTimeout(UINT timeoutMs) {
    g_sendTimeoutMs.store(timeoutMs);
}

UINT SendMessageTimeout() {
    return g_sendTimeoutMs.load();
}

SendOutcome SendWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                              UINT timeoutMs) {
    if (window != nullptr && detail::IsOwnProcess(window)) {
        const auto local = detail::FindLocalWindow(detail::WindowIdOf(window));
        if (!local) {
            return {false, false, 0, ERROR_INVALID_WINDOW_HANDLE};
        }
        if (local->owner == std::this_thread::get_id()) {
            // The window's own thread: a plain call, as Windows makes it.
            return {true, true, local->proc(window, message, wParam, lParam), 0};
        }
    }
    return Deliver(window, MakeRequest(detail::RequestKind::Send, window, message, wParam, lParam),
                   timeoutMs);
}

}  // namespace sys

HWND FindWindowA(const char* className, const char* windowName) {
    if (className != nullptr) {
        return nullptr;
    }
    const std::string folder = sys::RuntimeFolder();
    if (folder.empty()) {
        return nullptr;
    }
    std::vector<std::string> stems;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            constexpr std::string_view kExtension = ".caption";
            if (name.size() > kExtension.size() &&
                name.compare(name.size() - kExtension.size(), kExtension.size(), kExtension) == 0) {
                stems.push_back(name.substr(0, name.size() - kExtension.size()));
            }
        }
        ::closedir(dir);
    }
    std::sort(stems.begin(), stems.end());
    for (const std::string& stem : stems) {
        std::uint32_t pid = 0;
        DWORD id = 0;
        std::string caption;
        if (!sys::detail::ParseWindowFileStem(stem, pid, id) ||
            !sys::ReadCaption(folder + "/" + stem + ".caption", caption) ||
            !sys::CaptionMatches(caption, windowName)) {
            continue;
        }
        const HWND window = sys::detail::MakeWindowHandle(pid, id);
        if (sys::IsAlive(window, folder)) {
            return window;
        }
        sys::RemoveStale(sys::FilesOf(folder, window));
    }
    return nullptr;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, sys::SendMessageTimeout(),
                        &result);
    return static_cast<LRESULT>(result);
}

LRESULT SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT /*flags*/,
                            UINT timeoutMs, DWORD_PTR* result) {
    const sys::SendOutcome outcome =
        sys::SendWindowMessage(window, message, wParam, lParam, timeoutMs);
    if (result != nullptr) {
        *result = static_cast<DWORD_PTR>(outcome.result);
    }
    if (!outcome.answered) {
        SetLastError(outcome.error);
        return 0;
    }
    return 1;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return sys::Queue(sys::detail::RequestKind::Post, window, message, wParam, lParam);
}

BOOL SetForegroundWindow(HWND window) {
    return sys::Queue(sys::detail::RequestKind::Raise, window, 0, 0, 0);
}

BOOL IsWindow(HWND window) {
    const std::string folder = sys::RuntimeFolder();
    return !folder.empty() && sys::IsAlive(window, folder) ? TRUE : FALSE;
}

int GetWindowTextA(HWND window, char* text, int size) {
    if (text == nullptr || size <= 0) {
        return 0;
    }
    text[0] = '\0';
    std::string caption;
    if (window != nullptr && sys::detail::IsOwnProcess(window)) {
        const auto local = sys::detail::FindLocalWindow(sys::detail::WindowIdOf(window));
        if (!local) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        caption = local->caption;
    } else {
        const std::string folder = sys::RuntimeFolder();
        if (folder.empty() || !sys::IsAlive(window, folder) ||
            !sys::ReadCaption(sys::FilesOf(folder, window).captionPath, caption)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
    }
    const std::size_t length = std::min(caption.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(text, caption.data(), length);
    text[length] = '\0';
    return static_cast<int>(length);
}
