// Process set-up that Qt WebEngine needs before the QApplication exists.
//
// Thread: the main thread, before QApplication is constructed, once.
#pragma once

#include <optional>

namespace browser {

// Registers the res: scheme, lets WebEngine share OpenGL contexts, turns Chromium's
// sandbox off when running as root (it cannot run there) unless the environment
// already decided, and, when QUENBY_DEVTOOLS_PORT holds a port number, serves the
// DevTools protocol on 127.0.0.1:<port> for end-to-end tests. A bad port value is
// reported on stderr and ignored.
void PrepareBrowserProcess();

// The port of a QUENBY_DEVTOOLS_PORT value: a decimal number from 1 to 65535.
std::optional<int> DevToolsPortFrom(const char* value);

}  // namespace browser
