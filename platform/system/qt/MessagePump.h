// Runs the window messages of this process (system/Window.h) inside Qt's event loop:
// a QSocketNotifier watches the window-message descriptor and dispatches whatever
// waits, on the UI thread, in the outer loop and in every modal exec() alike.
//
// Thread: UI thread (the thread of the QApplication) only.
#pragma once

namespace sysqt {

// Starts the pump once the process has a window; later calls do nothing. False when
// there is no window yet (nothing to watch) or no QCoreApplication. The pump lives
// until the application object is destroyed.
bool StartMessagePump();

}  // namespace sysqt
