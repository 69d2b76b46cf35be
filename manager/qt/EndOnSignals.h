// Ends the run in order when the session asks the program to stop (SIGTERM at log
// out, SIGHUP when its terminal goes, SIGINT from Ctrl+C): every modal loop is left,
// each dialog returns as if cancelled, and InitInstance goes on to its clean-up, so
// the deciphered pages are deleted instead of being left behind by a killed process.
//
// The handler only writes to a pipe; the Qt event loop reads it on the UI thread.
// Thread: call once on the UI thread, after the QApplication exists.
#pragma once

// False when the signals could not be caught (they then end the process as usual).
bool EndRunOnSignals();
