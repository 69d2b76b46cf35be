// GetModuleFileNameA: the full path of the program or of a module loaded with dlopen.
//
// Thread: any.
#pragma once

#include "WinTypes.h"

// module null: the program itself (/proc/self/exe). Otherwise a handle dlopen gave;
// a relative load path is made absolute. Copies the path, terminated, and returns its
// length. A buffer too small gets the first size - 1 bytes and a terminator, the
// result is size and the last error ERROR_INSUFFICIENT_BUFFER. 0 on failure (unknown
// handle: ERROR_MOD_NOT_FOUND).
DWORD GetModuleFileNameA(HMODULE module, char* fileName, DWORD size);
