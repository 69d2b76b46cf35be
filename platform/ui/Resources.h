// A module's resources: dialog templates, strings, icons and raw resources (such as
// an HTML page), each found by its number.
//
// Every module (the program, the server module) has its own table; the module state
// (ui/ModuleState.h) decides which table a lookup uses, so the server's template 142
// is found while a server member runs and the program's otherwise.
//
// Ownership: a table is built once and lives as long as its module (a function-local
// static). Byte views (icon images, raw resources) point at data of static storage.
// Thread: tables are immutable once built; lookups are safe from any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/DialogTemplate.h"

namespace ui {

// Resource types of raw resources (the Windows numbers).
constexpr int RT_HTML = 23;

// One image of an icon: PNG bytes of a square picture of `size` pixels.
struct IconImage {
    int size = 0;
    std::string_view png;
};

struct IconResource {
    int id = 0;
    std::vector<IconImage> images;  // smallest first

    // The image closest to `size` (not smaller when there is one that large).
    const IconImage* ImageFor(int size) const;
};

struct StringResource {
    int id = 0;
    std::string text;
};

struct RawResource {
    int type = 0;
    int id = 0;
    std::string_view bytes;
};

struct ResourceTable {
    std::vector<DialogTemplate> dialogs;
    std::vector<StringResource> strings;
    std::vector<IconResource> icons;
    std::vector<RawResource> raw;

    const DialogTemplate* Dialog(int id) const;
    const IconResource* Icon(int id) const;
    std::optional<std::string> String(int id) const;
    const RawResource* Raw(int type, int id) const;
};

// Lookups in the current module's table; null or empty when the module has no
// table or the resource is not in it.
const DialogTemplate* FindDialogTemplate(int id);
const IconResource* FindIcon(int id);
const RawResource* FindRawResource(int type, int id);
// What CString::LoadString does: the text of string resource `id` of the current
// module into `text`; false (and `text` untouched) when there is none.
bool LoadString(int id, std::string& text);

}  // namespace ui
