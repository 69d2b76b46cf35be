// The windows of this process and their message queue. Internal to platform/system;
// the public calls are in system/Window.h.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "WinTypes.h"
#include "system/Window.h"
#include "system/WindowProtocol.h"

namespace sys::detail {

struct LocalWindow {
    DWORD id = 0;
    HWND handle = nullptr;
    std::string caption;
    WindowProc proc;
    std::function<void()> raise;
    std::thread::id owner;
    std::string socketPath;
    std::string captionPath;
};

// This process's window with that id, or null.
std::shared_ptr<const LocalWindow> FindLocalWindow(DWORD id);

// Queues a post or raise request for one of this process's windows (any thread).
// False when there is no such window.
bool QueueLocal(const Request& request);

// Whether a handle names a window of this process (which may be gone).
bool IsOwnProcess(HWND window);

}  // namespace sys::detail
