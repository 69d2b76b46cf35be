// Test helper: shows every template of a resource table with the Qt backend and
// checks that the dialog has its size and each control its place (dialog units
// converted with the dialog font's average character width and height), that no
// text is cut off, and saves a screenshot of each.
#pragma once

#include <string>

#include "ui/Resources.h"

namespace qbtest {

// `prefix` names the screenshots: <prefix>-<id>.png.
void CheckEveryTemplate(const ui::ResourceTable& table, const std::string& prefix);

}  // namespace qbtest
