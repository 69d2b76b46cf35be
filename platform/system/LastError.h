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
