// ShellExecuteA with the "open" verb, as the pages use it for the help file and the
// password generator.
//
// - An executable regular file is started directly (posix_spawn, no shell), with the
//   parameters split by the Windows command-line rules (system/CommandLine.h).
// - Any other file or folder is handed to `xdg-open`, which picks the user's
//   program for it; parameters are not passed on.
// A relative file is looked for in `directory` (or the current folder) and then, when
// it is a bare name, along PATH. The program starts in `directory` when one is given.
// It runs on its own: in a session of its own, with default signal handling, with no
// descriptor of ours but stdin, stdout and stderr; we never wait for it (a helper
// thread reaps it when it ends). The owner window and the show command have no
// meaning here and are ignored.
//
// Result, as on Windows: a value greater than 32 on success, otherwise one of the
// error numbers below.
//
// Thread: any.
#pragma once

#include "WinTypes.h"

// Show commands (accepted for the call's shape).
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;
constexpr int SW_SHOWDEFAULT = 10;

// Error results (shellapi.h values).
constexpr int SE_ERR_FNF = 2;           // file not found
constexpr int SE_ERR_PNF = 3;           // folder (of the file, or `directory`) not found
constexpr int SE_ERR_ACCESSDENIED = 5;  // not allowed to start it
constexpr int SE_ERR_OOM = 8;           // out of memory or processes
constexpr int SE_ERR_BADFORMAT = 11;    // executable the system cannot run
constexpr int SE_ERR_NOASSOC = 31;      // a verb other than "open", or no xdg-open

HINSTANCE ShellExecuteA(HWND owner, const char* operation, const char* file, const char* parameters,
                        const char* directory, int showCommand);

// The value of a ShellExecuteA result as a number (> 32 is success).
inline int ShellExecuteResult(HINSTANCE result) {
    return static_cast<int>(reinterpret_cast<std::intptr_t>(result));
}
