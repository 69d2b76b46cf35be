// The res: pages of the program itself: res://<path of this program>/<id> serves its
// HTML resource <id> (the blank page of the main window is 146). Any other module
// path serves nothing. Given to browser::SetResourceProvider at start-up.
//
// Thread: the UI thread (the browser's resource handler calls it there).
#pragma once

#include <optional>
#include <string>

std::optional<std::string> ProgramHtml(const std::string& modulePath, int id);
