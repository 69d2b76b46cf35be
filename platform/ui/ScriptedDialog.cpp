#include "ui/ScriptedDialog.h"

#include "ui/MessageBox.h"
#include "ui/ScriptedBackend.h"

namespace ui {

ScriptedDialog::ScriptedDialog(const DialogTemplate& dialogTemplate, ScriptedBackend& backend,
                               DialogClient& client)
    : template_(dialogTemplate), backend_(backend), client_(client) {
    for (const ControlTemplate& c : template_.controls) {
        items_.push_back(Item{&c, c.text, BST_UNCHECKED, !c.IsDisabled()});
    }
}

ScriptedDialog::Item* ScriptedDialog::Find(int id) {
    if (id == IDC_STATIC) {
        return nullptr;
    }
    for (Item& item : items_) {
        if (item.control->id == id) {
            return &item;
        }
    }
    return nullptr;
}

const ScriptedDialog::Item* ScriptedDialog::Find(int id) const {
    return const_cast<ScriptedDialog*>(this)->Find(id);
}

void ScriptedDialog::Record(UiEvent::Kind kind, int id, int result, std::string text) {
    UiEvent event;
    event.kind = kind;
    event.id = id;
    event.result = result;
    event.text = std::move(text);
    backend_.Record(std::move(event));
}

std::string ScriptedDialog::GetItemText(int id) const {
    const Item* item = Find(id);
    return item != nullptr ? item->text : std::string();
}

void ScriptedDialog::SetItemText(int id, std::string_view text) {
    Item* item = Find(id);
    if (item == nullptr || item->text == text) {
        return;
    }
    item->text = std::string(text);
    Record(UiEvent::Kind::SetText, id, 0, item->text);
    if (item->control->cls == ControlClass::Edit && !ended_) {
        client_.HandleCommand(id, EN_CHANGE);
    }
}

int ScriptedDialog::GetCheck(int id) const {
    const Item* item = Find(id);
    return item != nullptr ? item->check : BST_UNCHECKED;
}

void ScriptedDialog::SetCheck(int id, int state) {
    Item* item = Find(id);
    if (item == nullptr || !item->control->IsCheckBox() || item->check == state) {
        return;
    }
    item->check = state;
    Record(UiEvent::Kind::Check, id, state);
}

bool ScriptedDialog::IsItemEnabled(int id) const {
    const Item* item = Find(id);
    return item != nullptr && item->enabled;
}

void ScriptedDialog::EnableItem(int id, bool enable) {
    Item* item = Find(id);
    if (item == nullptr || item->enabled == enable) {
        return;
    }
    item->enabled = enable;
    Record(UiEvent::Kind::Enable, id, enable ? 1 : 0);
}

void ScriptedDialog::SetSel(int id, int start, int end) {
    Item* item = Find(id);
    if (item == nullptr || item->control->cls != ControlClass::Edit) {
        return;
    }
    UiEvent event;
    event.kind = UiEvent::Kind::Select;
    event.id = id;
    event.start = start;
    event.end = end;
    backend_.Record(std::move(event));
}

void ScriptedDialog::SetFocus(int id) {
    if (Find(id) == nullptr) {
        return;
    }
    focus_ = id;
    Record(UiEvent::Kind::Focus, id, 0);
}

void ScriptedDialog::End(int result) {
    if (ended_) {
        return;
    }
    ended_ = true;
    result_ = result;
}

void ScriptedDialog::FocusFirstTabStop() {
    for (const Item& item : items_) {
        if (item.control->IsTabStop() && item.enabled && item.control->id != IDC_STATIC) {
            SetFocus(item.control->id);
            return;
        }
    }
}

void ScriptedDialog::RecordUser(UiEvent::Kind kind, int id, std::string text, std::string note) {
    UiEvent event;
    event.kind = kind;
    event.id = id;
    event.text = std::move(text);
    event.note = std::move(note);
    backend_.Record(std::move(event));
}

void ScriptedDialog::UserType(int id, const std::string& text) {
    constexpr UiEvent::Kind kind = UiEvent::Kind::UserTypes;
    Item* item = Find(id);
    if (item == nullptr || item->control->cls != ControlClass::Edit) {
        RecordUser(kind, id, text, "no such edit: nothing happens");
        return;
    }
    if (!item->enabled) {
        RecordUser(kind, id, text, "disabled: nothing happens");
        return;
    }
    RecordUser(kind, id, text, {});
    focus_ = id;
    if (item->text != text) {
        item->text = text;
        client_.HandleCommand(id, EN_CHANGE);
    }
}

void ScriptedDialog::UserClick(int id) {
    constexpr UiEvent::Kind kind = UiEvent::Kind::UserClicks;
    Item* item = Find(id);
    if (item == nullptr) {
        RecordUser(kind, id, {}, "no such control: nothing happens");
        return;
    }
    if (!item->enabled) {
        RecordUser(kind, id, {}, "disabled: nothing happens");
        return;
    }
    const ControlTemplate& control = *item->control;
    if (control.IsCheckBox()) {
        item->check = item->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
        RecordUser(kind, id, {}, item->check == BST_CHECKED ? "checked" : "unchecked");
    } else {
        RecordUser(kind, id, {}, {});
    }
    if (control.cls == ControlClass::Edit || control.cls == ControlClass::Button) {
        focus_ = id;
    }
    if (control.cls == ControlClass::Button) {
        client_.HandleCommand(id, BN_CLICKED);
    }
}

void ScriptedDialog::UserEnter() {
    constexpr UiEvent::Kind kind = UiEvent::Kind::UserPresses;
    // A focused push button takes Enter itself; otherwise the default button, and a
    // dialog without one gets IDOK.
    const Item* target = Find(focus_);
    if (target == nullptr || !target->control->IsPushButton()) {
        target = nullptr;
        for (const Item& item : items_) {
            if (item.control->IsDefaultButton()) {
                target = &item;
                break;
            }
        }
    }
    if (target == nullptr) {
        RecordUser(kind, 0, "Enter", "sends IDOK");
        client_.HandleCommand(IDOK, BN_CLICKED);
        return;
    }
    const int id = target->control->id;
    if (!target->enabled) {
        RecordUser(kind, id, "Enter", "default button disabled: nothing happens");
        return;
    }
    RecordUser(kind, id, "Enter", "presses " + std::to_string(id));
    client_.HandleCommand(id, BN_CLICKED);
}

void ScriptedDialog::UserEscape() {
    RecordUser(UiEvent::Kind::UserPresses, 0, "Escape", {});
    client_.HandleCommand(IDCANCEL, BN_CLICKED);
}

void ScriptedDialog::UserClose() {
    RecordUser(UiEvent::Kind::UserCloses, template_.id, {}, {});
    client_.HandleClose();
}

}  // namespace ui
