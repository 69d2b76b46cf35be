// CFileDialog as a QFileDialog (Qt's own widgets, so it looks and behaves the same
// on every desktop): save or open, the initial name selected, the filter list with
// the descriptions as written (patterns match ignoring case), the overwrite question
// only with OFN_OVERWRITEPROMPT, existing files only for an open dialog with
// OFN_FILEMUSTEXIST, and with OFN_PATHMUSTEXIST a name in a missing folder refused
// with a message while the dialog stays open.
// Thread: the GUI thread; a QApplication must exist.
#pragma once

#include <string>

#include "ui/FileDialog.h"

namespace ui::qt {

int ShowQtFileDialog(const FileDialogRequest& request, std::string& path);

}  // namespace ui::qt
