// The live dialog of the scripted backend: the controls of a template held in memory
// (text, check state, enabled state, selection), the focus, and the result once the
// dialog ends. The program's changes are written to the backend's transcript; user
// steps go through the User* calls, which change the state as the user would and
// send the notifications the platform sends.
//
// Lifetime: created by ScriptedBackend::RunModalDialog for one run. Thread: UI thread.
#pragma once

#include <string>
#include <vector>

#include "ui/DialogTemplate.h"
#include "ui/DialogWindow.h"
#include "ui/ScriptedBackend.h"

namespace ui {

class ScriptedDialog : public DialogWindow {
  public:
    ScriptedDialog(const DialogTemplate& dialogTemplate, ScriptedBackend& backend,
                   DialogClient& client);

    bool HasItem(int id) const override { return Find(id) != nullptr; }
    std::string GetItemText(int id) const override;
    void SetItemText(int id, std::string_view text) override;
    int GetCheck(int id) const override;
    void SetCheck(int id, int state) override;
    bool IsItemEnabled(int id) const override;
    void EnableItem(int id, bool enable) override;
    void SetSel(int id, int start, int end) override;
    void SetFocus(int id) override;
    int GetFocus() const override { return focus_; }
    void End(int result) override;
    void* NativeItem(int) const override { return nullptr; }

    bool ended() const { return ended_; }
    int result() const { return result_; }
    const DialogTemplate& dialogTemplate() const { return template_; }

    // The platform's initial focus: the first enabled tab stop.
    void FocusFirstTabStop();
    // User steps: each records itself (with what it came to when that is not the
    // plain step: "disabled: nothing happens", "checked", ...) and then acts.
    void UserType(int id, const std::string& text);
    void UserClick(int id);
    void UserEnter();
    void UserEscape();
    void UserClose();

  private:
    struct Item {
        const ControlTemplate* control;
        std::string text;
        int check = BST_UNCHECKED;
        bool enabled = true;
    };

    Item* Find(int id);
    const Item* Find(int id) const;
    void Record(UiEvent::Kind kind, int id, int result, std::string text = {});
    void RecordUser(UiEvent::Kind kind, int id, std::string text, std::string note);

    const DialogTemplate& template_;
    ScriptedBackend& backend_;
    DialogClient& client_;
    std::vector<Item> items_;
    int focus_ = 0;
    bool ended_ = false;
    int result_ = 0;
};

}  // namespace ui
