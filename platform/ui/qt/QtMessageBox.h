// MessageBoxA as a QMessageBox: the icon and buttons its flags ask for, the default
// button of MB_DEFBUTTONn, and the Windows id of the button pressed as result.
// Escape and the close box answer only where the platform we mirror lets them: with
// Cancel when the box has it, with the only button of a one-button box, otherwise
// not at all (a Yes/No question must be answered).
// Thread: the GUI thread; a QApplication must exist.
#pragma once

#include "ui/Backend.h"

namespace ui::qt {

int ShowQtMessageBox(const MessageBoxRequest& request);

}  // namespace ui::qt
