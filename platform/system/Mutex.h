// Named mutexes between the processes of one user, the way the single-instance check
// uses them: only their existence is a signal; they are never waited on or owned.
//
// A named mutex is the lock file <runtime folder>/mutex-<name>.lock. Every handle
// holds a shared flock on its own open of that file; a creator that can take the lock
// exclusively knows it is alone and reports a new mutex. Locks vanish with their
// process, so the file a crashed copy left behind never makes a later copy believe
// that another one runs. The files are never deleted (deleting a file another
// process is about to lock would split the mutex in two).
//
// Names: "Local\" and "Global\" prefixes are both the user's own namespace here.
// Characters other than letters, digits, '.', '_' and '-' are stored %XX-escaped in
// the file name; a name whose file name would pass 255 bytes is refused. A null or
// empty name makes an unnamed mutex, which no other call can find.
//
// Thread: any. Descriptors are close-on-exec, so a started program does not keep the
// mutex alive.
#pragma once

#include <string>
#include <string_view>

#include "WinTypes.h"
#include "system/Handle.h"

struct SECURITY_ATTRIBUTES;  // accepted for the call's shape; must be null

// Creates or opens a named mutex; initialOwner is ignored (nobody waits on it).
// Success: a handle; GetLastError() is ERROR_ALREADY_EXISTS when the mutex already
// existed (in this or another process) and ERROR_SUCCESS when it is new. Failure:
// null, with ERROR_FILENAME_EXCED_RANGE for a name too long, ERROR_ACCESS_DENIED or
// ERROR_PATH_NOT_FOUND when the runtime folder or the lock file cannot be used.
HANDLE CreateMutexA(SECURITY_ATTRIBUTES* attributes, BOOL initialOwner, const char* name);

namespace sys {

// The lock-file name of a mutex name ("QUENBY_MAIN_GUI" -> "mutex-QUENBY_MAIN_GUI.lock");
// empty when the name is too long.
std::string MutexFileName(std::string_view name);

}  // namespace sys
