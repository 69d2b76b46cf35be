// GetUserNameA: the name of the user the process runs as.
//
// Thread: any.
#pragma once

#include "WinTypes.h"

// The login name of the effective user (from the password database; $USER or the
// numeric id when the database has no entry). On entry *size is the buffer's size;
// on success it is the length copied including the terminator. A buffer too small
// gives FALSE, ERROR_INSUFFICIENT_BUFFER and the size needed in *size.
BOOL GetUserNameA(char* buffer, DWORD* size);
