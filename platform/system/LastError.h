// The calling thread's last error, kept as Windows keeps it: the process services of
// platform/system set it when a call fails (CreateMutexA also on success, to tell a
// new mutex from an existing one). A call that succeeds leaves it alone unless its
// own contract says otherwise.
//
// Thread: the value is per thread.
#pragma once

#include "WinTypes.h"

DWORD GetLastError();
void SetLastError(DWORD error);

// Further system error codes (winerror.h values) that the process services report.
constexpr DWORD ERROR_BAD_FORMAT = 11;
constexpr DWORD ERROR_INVALID_NAME = 123;
constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
constexpr DWORD ERROR_NO_ASSOCIATION = 1155;
constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr DWORD ERROR_TIMEOUT = 1460;
