// qbsystem_helper: a small program the system tests start as "another process".
//
//   qbsystem_helper mutex NAME        creates the mutex, prints "created" or "exists",
//                                     holds it until stdin ends
//   qbsystem_helper window CAPTION    registers a window and serves it until stdin
//                                     ends or WM_CLOSE arrives; prints one line per
//                                     message ("message M W L") and per raise
//                                     ("raise"); a sent message is answered with
//                                     M + W + L
//   qbsystem_helper hung CAPTION      registers a window and never serves it
//   qbsystem_helper debug TEXT...     writes each TEXT to the debug channel
//
// Every line it prints is flushed at once; "ready" says the set-up is done.
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "system/DebugChannel.h"
#include "system/LastError.h"
#include "system/Mutex.h"
#include "system/Window.h"

namespace {

void Say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

// Waits until stdin ends (the test closes it or dies).
void WaitForStdinEnd() {
    char buffer[256];
    while (::read(0, buffer, sizeof(buffer)) > 0) {
    }
}

int HoldMutex(const char* name) {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name);
    if (mutex == nullptr) {
        Say("failed " + std::to_string(GetLastError()));
        return 1;
    }
    Say(GetLastError() == ERROR_ALREADY_EXISTS ? "exists" : "created");
    WaitForStdinEnd();
    CloseHandle(mutex);
    return 0;
}

int ServeWindow(const char* caption) {
    bool closed = false;
    HWND window = CreateTopLevelWindow(
        caption,
        [&closed](HWND, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            Say("message " + std::to_string(message) + " " + std::to_string(wParam) + " " +
                std::to_string(lParam));
            if (message == WM_CLOSE) {
                closed = true;
            }
            return static_cast<LRESULT>(message + wParam) + lParam;
        },
        [] { Say("raise"); });
    if (window == nullptr) {
        Say("failed " + std::to_string(GetLastError()));
        return 1;
    }
    Say("ready");
    while (!closed) {
        pollfd fds[2] = {{sys::WindowMessageDescriptor(), POLLIN, 0}, {0, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            continue;
        }
        if (fds[0].revents != 0) {
            sys::DispatchWindowMessages();
        }
        if (fds[1].revents != 0) {
            char buffer[256];
            if (::read(0, buffer, sizeof(buffer)) <= 0) {
                break;
            }
        }
    }
    DestroyWindow(window);
    return 0;
}

int HungWindow(const char* caption) {
    HWND window =
        CreateTopLevelWindow(caption, [](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; });
    Say(window != nullptr ? "ready" : "failed");
    WaitForStdinEnd();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "mutex") == 0) {
        return HoldMutex(argv[2]);
    }
    if (argc >= 3 && std::strcmp(argv[1], "window") == 0) {
        return ServeWindow(argv[2]);
    }
    if (argc >= 3 && std::strcmp(argv[1], "hung") == 0) {
        return HungWindow(argv[2]);
    }
    if (argc >= 2 && std::strcmp(argv[1], "debug") == 0) {
        for (int i = 2; i < argc; ++i) {
            OutputDebugStringA(argv[i]);
        }
        return 0;
    }
    std::fprintf(stderr, "usage: qbsystem_helper mutex|window|hung|debug ...\n");
    return 2;
}
