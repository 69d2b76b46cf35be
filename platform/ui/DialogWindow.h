// The two sides of a running modal dialog.
//
// DialogWindow is the live window a backend builds from a template: its controls,
// found by id, hold the texts, check states, enabled states, selection and focus.
// DialogClient is the dialog object (CDialog) that the backend tells what happens:
// the dialog opened, a command came (a button pressed, an edit changed, Enter or
// Escape), the close box was used.
//
// Lifetime: the backend creates the window inside Backend::RunModalDialog, attaches
// it to the client before anything else, and detaches it before it returns; the
// window pointer is valid only in between. Calls for an id the dialog does not hold
// do nothing and read as empty, unchecked, disabled.
// Thread: the UI thread only.
#pragma once

#include <string>
#include <string_view>

#include "WinTypes.h"

// Notification codes of WM_COMMAND.
constexpr int BN_CLICKED = 0;
constexpr int EN_CHANGE = 0x0300;

// Check states.
constexpr int BST_UNCHECKED = 0;
constexpr int BST_CHECKED = 1;

namespace ui {

class DialogWindow {
  public:
    virtual ~DialogWindow() = default;

    virtual bool HasItem(int id) const = 0;
    virtual std::string GetItemText(int id) const = 0;
    // Setting an edit to a different text sends EN_CHANGE, as a user's typing does.
    virtual void SetItemText(int id, std::string_view text) = 0;
    virtual int GetCheck(int id) const = 0;
    virtual void SetCheck(int id, int state) = 0;
    virtual bool IsItemEnabled(int id) const = 0;
    virtual void EnableItem(int id, bool enable) = 0;
    // Selects characters start..end of an edit (end -1: to the end of the text) and
    // scrolls the caret into view.
    virtual void SetSel(int id, int start, int end) = 0;
    virtual void SetFocus(int id) = 0;
    // The id of the control with the focus, 0 when none of them has it.
    virtual int GetFocus() const = 0;
    // Ends the modal loop; RunModalDialog returns `result`. Further calls change nothing.
    virtual void End(int result) = 0;
    // The backend's own object for a control (a QWidget* in the Qt backend, null in
    // the scripted one), for wrappers of custom controls.
    virtual void* NativeItem(int id) const = 0;
};

class DialogClient {
  public:
    virtual ~DialogClient() = default;

    virtual void AttachWindow(DialogWindow* window) = 0;
    // WM_INITDIALOG: before the dialog is seen. True asks the backend to put the focus
    // on the first tab stop.
    virtual bool HandleInitDialog() = 0;
    // WM_COMMAND: a button pressed (BN_CLICKED; Enter presses the default button and
    // Escape sends IDCANCEL) or an edit changed (EN_CHANGE).
    virtual void HandleCommand(int id, int notifyCode) = 0;
    // WM_CLOSE: the close box.
    virtual void HandleClose() = 0;
};

}  // namespace ui
