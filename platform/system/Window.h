// Top-level windows that other processes can find by caption and send messages to:
// FindWindowA, SendMessageA, PostMessageA, SetForegroundWindow, as a second copy of
// the program or a shell tool (qbsend) uses them.
//
// Window side. A window registers its caption with a window procedure (and, for
// SetForegroundWindow, a raise callback) on its owning thread, the UI thread. Messages
// from other threads and processes wait until that thread calls
// DispatchWindowMessages(), which runs them in arrival order; the UI thread watches
// WindowMessageDescriptor() for readability to know when (the Qt library qbsystem_qt
// does this inside Qt's event loop). A procedure may run a modal loop that dispatches
// again; the message being handled is out of the queue by then.
//
// Across processes. Each window listens on a socket in the runtime folder (see
// system/WindowProtocol.h). FindWindowA only reports windows whose process still
// listens; files left by a crashed copy are ignored and removed. SendMessageA blocks
// for the reply, but never longer than the send timeout (5 s unless changed), so a
// hung peer never hangs the caller. A send from the window's own thread calls its
// procedure directly, as Windows does. Parameters travel as numbers: pointers mean
// nothing in another process.
//
// Handles: an HWND names a process and a window in it. It stays valid until
// DestroyWindow or the end of that process; afterwards calls with it fail with
// ERROR_INVALID_WINDOW_HANDLE.
//
// Thread: FindWindowA, Send/PostMessageA, SetForegroundWindow, IsWindow and
// GetWindowTextA from any thread. CreateTopLevelWindow, DestroyWindow and
// DispatchWindowMessages on the UI thread: a window belongs to the thread that
// created it (a send from that thread is a direct call), and one process has one
// queue, so all its windows should live on that one thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "WinTypes.h"
#include "system/Messages.h"

using WindowProc = std::function<LRESULT(HWND window, UINT message, WPARAM wParam, LPARAM lParam)>;
using DWORD_PTR = std::uintptr_t;

// ---- finding windows and sending them messages ----

// A live top-level window whose caption equals windowName, compared ignoring case as
// Windows does; null when there is none. windowName null matches any window. Window
// classes do not exist here: className must be null, else nothing is found.
HWND FindWindowA(const char* className, const char* windowName);

// Sends a message and waits for the procedure's result. 0 on failure, with
// GetLastError() ERROR_INVALID_WINDOW_HANDLE (no such window) or ERROR_TIMEOUT.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// As SendMessageA with an explicit timeout in milliseconds (flags are accepted and
// ignored: we always give up on a window that does not answer in time). Nonzero on
// success with the procedure's result in *result (when not null); 0 on failure.
LRESULT SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags,
                            UINT timeoutMs, DWORD_PTR* result);
constexpr UINT SMTO_NORMAL = 0x0000;
constexpr UINT SMTO_BLOCK = 0x0001;
constexpr UINT SMTO_ABORTIFHUNG = 0x0002;

// Queues a message for the window and returns at once. TRUE when queued.
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Asks the window's owner to bring it to the front (its raise callback runs on the
// owner's UI thread). TRUE when the request was delivered.
BOOL SetForegroundWindow(HWND window);

// TRUE while the window exists and its process listens.
BOOL IsWindow(HWND window);

// Copies the caption (up to size - 1 bytes, terminated). Returns the length copied;
// 0 for an empty caption or an unknown window.
int GetWindowTextA(HWND window, char* text, int size);

// ---- the window side ----

// Registers a top-level window with a caption. proc receives every message sent or
// posted to it; raise (may be empty) runs for SetForegroundWindow. Null on failure
// (runtime folder unusable: see RuntimeFolder).
HWND CreateTopLevelWindow(const char* caption, WindowProc proc, std::function<void()> raise = {});

// Unregisters one of this process's windows; pending senders get a failure. FALSE with
// ERROR_INVALID_WINDOW_HANDLE for anything else.
BOOL DestroyWindow(HWND window);

namespace sys {

// Readable while messages wait for DispatchWindowMessages. -1 until the first window
// of the process exists; afterwards the same descriptor for the life of the process
// (the caller must not close it).
int WindowMessageDescriptor();

// Runs waiting messages on the calling thread: at most maxMessages (that many
// messages are ready; the descriptor stays readable when more wait). Returns how many
// ran. Does not block.
int DispatchWindowMessages(int maxMessages = 64);

// The timeout of SendMessageA, in milliseconds (default 5000).
void SetSendMessageTimeout(UINT timeoutMs);
UINT SendMessageTimeout();

// What a send achieved, for callers that must tell a window that never took the
// message from one that took it but did not answer in time (qbsend).
struct SendOutcome {
    bool delivered = false;  // the window read the message
    bool answered = false;   // and its procedure returned in time
    LRESULT result = 0;
    DWORD error = 0;  // ERROR_INVALID_WINDOW_HANDLE or ERROR_TIMEOUT when not answered
};
SendOutcome SendWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                              UINT timeoutMs);

}  // namespace sys
