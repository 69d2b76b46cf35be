// The per-user runtime folder: ${XDG_RUNTIME_DIR:-/tmp/quenby-$UID}/quenby.
//
// It holds the named mutexes, the sockets of top-level windows and the debug channel,
// so it must be private: the folder (and /tmp/quenby-$UID when that is the base) is
// created with mode 0700 and is refused when it is a symbolic link, not a folder, or
// owned by another user. A folder of ours with looser rights is tightened to 0700.
//
// The environment is read on every call (a test may switch XDG_RUNTIME_DIR between
// cases); nothing is cached.
// Thread: any.
#pragma once

#include <string>

namespace sys {

// The folder's path without a trailing slash, created if missing. On failure the
// result is empty and the thread's last error says why (ERROR_ACCESS_DENIED for a
// folder that is not ours or cannot be made private, ERROR_PATH_NOT_FOUND otherwise).
std::string RuntimeFolder();

}  // namespace sys
