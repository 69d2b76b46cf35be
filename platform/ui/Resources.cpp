#include "ui/Resources.h"

#include "ui/ModuleState.h"

namespace ui {
namespace {

template <typename T>
const T* FindById(const std::vector<T>& items, int id) {
    for (const T& item : items) {
        if (item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

const ResourceTable* CurrentTable() {
    return CurrentModule().resources;
}

}  // namespace

const IconImage* IconResource::ImageFor(int size) const {
    const IconImage* best = nullptr;
    for (const IconImage& image : images) {
        best = &image;
        if (image.size >= size) {
            break;
        }
    }
    return best;
}

const DialogTemplate* ResourceTable::Dialog(int id) const {
    return FindById(dialogs, id);
}

const IconResource* ResourceTable::Icon(int id) const {
    return FindById(icons, id);
}

std::optional<std::string> ResourceTable::String(int id) const {
    const StringResource* s = FindById(strings, id);
    if (s == nullptr) {
        return std::nullopt;
    }
    return s->text;
}

const RawResource* ResourceTable::Raw(int type, int id) const {
    for (const RawResource& r : raw) {
        if (r.type == type && r.id == id) {
            return &r;
        }
    }
    return nullptr;
}

const DialogTemplate* FindDialogTemplate(int id) {
    const ResourceTable* table = CurrentTable();
    return table != nullptr ? table->Dialog(id) : nullptr;
}

const IconResource* FindIcon(int id) {
    const ResourceTable* table = CurrentTable();
    return table != nullptr ? table->Icon(id) : nullptr;
}

const RawResource* FindRawResource(int type, int id) {
    const ResourceTable* table = CurrentTable();
    return table != nullptr ? table->Raw(type, id) : nullptr;
}

bool LoadString(int id, std::string& text) {
    const ResourceTable* table = CurrentTable();
    if (table == nullptr) {
        return false;
    }
    std::optional<std::string> s = table->String(id);
    if (!s) {
        return false;
    }
    text = std::move(*s);
    return true;
}

}  // namespace ui
