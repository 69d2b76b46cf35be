// Kernel object handles: what CreateMutexA hands out and CloseHandle ends.
//
// A HANDLE owns one KernelObject (a mutex today). The table of live handles lets
// CloseHandle refuse a handle that was never given out or is already closed, as
// Windows does, instead of touching freed memory.
//
// Ownership: the caller owns each handle it is given until CloseHandle. A handle not
// closed lives until the process ends (its file locks go with the process).
// Thread: any; the table is guarded.
#pragma once

#include <memory>

#include "WinTypes.h"

using HANDLE = void*;

// Closes a handle. FALSE with ERROR_INVALID_HANDLE for null, unknown or closed handles.
BOOL CloseHandle(HANDLE handle);

namespace sys {

class KernelObject {
  public:
    virtual ~KernelObject() = default;
};

// Registers an object and returns its new handle (never null).
HANDLE NewHandle(std::unique_ptr<KernelObject> object);

}  // namespace sys
