#include "ProgramHtml.h"

#include "ProgramResources.h"
#include "system/ModuleFile.h"

std::optional<std::string> ProgramHtml(const std::string& modulePath, int id) {
    char path[260];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    if (length == 0 || length >= sizeof(path) || modulePath != path) {
        return std::nullopt;
    }
    const ui::RawResource* page = ProgramResourceTable().Raw(ui::RT_HTML, id);
    return page != nullptr ? std::optional<std::string>(page->bytes) : std::nullopt;
}
