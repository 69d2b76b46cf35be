// Dialog templates: the resource form of a dialog, as a module carries it.
//
// A template gives the dialog's id, caption, position and size in dialog units, its
// font and window styles, and its controls in tab order. Positions and sizes are in
// dialog units of the template's font: one horizontal unit is a quarter of the font's
// average character width, one vertical unit an eighth of its height. Each backend
// turns them into pixels with the metrics of the font it really uses.
//
// Style values are the Windows ones, so a template reads like the resource script it
// stands for. The builder functions below (LText, EditText, ...) give a control the
// styles the resource compiler gives the statement of the same name.
//
// Templates are plain values; resource tables hold them for the life of the module.
#pragma once

#include <string>
#include <vector>

#include "WinTypes.h"

// Window styles.
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;  // on top-level windows
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000;
// Dialog styles.
constexpr DWORD DS_3DLOOK = 0x0004;
constexpr DWORD DS_SETFONT = 0x0040;
constexpr DWORD DS_MODALFRAME = 0x0080;
constexpr DWORD DS_CENTER = 0x0800;
// Edit styles.
constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_PASSWORD = 0x0020;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
// Button styles.
constexpr DWORD BS_PUSHBUTTON = 0x0000;
constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
constexpr DWORD BS_AUTOCHECKBOX = 0x0003;
constexpr DWORD BS_TYPEMASK = 0x000F;
// Static styles.
constexpr DWORD SS_LEFT = 0x0000;
constexpr DWORD SS_ICON = 0x0003;
constexpr DWORD SS_ETCHEDHORZ = 0x0010;
constexpr DWORD SS_TYPEMASK = 0x001F;
constexpr DWORD SS_NOPREFIX = 0x0080;
constexpr DWORD SS_WORDELLIPSIS = 0x0000C000;
constexpr DWORD SS_ELLIPSISMASK = 0x0000C000;

// The id of controls that are never addressed (labels, icons, lines).
constexpr int IDC_STATIC = -1;

namespace ui {

// The window class of a control. Custom controls name their class in className
// (for example the class id of an embedded browser); a backend that does not know
// the class shows an empty placeholder in its place.
enum class ControlClass { Static, Edit, Button, Custom };

struct ControlTemplate {
    ControlClass cls = ControlClass::Static;
    int id = IDC_STATIC;
    std::string text;  // with its & mnemonic; for an SS_ICON static, unused
    int x = 0, y = 0, cx = 0, cy = 0;
    DWORD style = 0;
    int iconId = 0;         // SS_ICON: the icon resource shown
    std::string className;  // Custom: the class the backend creates

    bool HasStyle(DWORD bits) const { return (style & bits) == bits; }
    bool IsPushButton() const;  // push or default push button
    bool IsDefaultButton() const;
    bool IsCheckBox() const;
    bool IsPasswordEdit() const;
    bool IsIcon() const;
    bool IsEtchedLine() const;
    bool IsTabStop() const { return HasStyle(WS_TABSTOP); }
    bool IsDisabled() const { return HasStyle(WS_DISABLED); }
};

struct DialogTemplate {
    int id = 0;
    std::string caption;
    int x = 0, y = 0, cx = 0, cy = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string fontFace;
    int fontPointSize = 0;
    std::vector<ControlTemplate> controls;  // in tab order

    const ControlTemplate* Control(int controlId) const;
};

// The resource-script statements, with the styles they imply. `extra` is or-ed in.
ControlTemplate LText(std::string text, int id, int x, int y, int cx, int cy, DWORD extra = 0);
ControlTemplate EditText(int id, int x, int y, int cx, int cy, DWORD extra = 0);
ControlTemplate PushButton(std::string text, int id, int x, int y, int cx, int cy, DWORD extra = 0);
ControlTemplate DefPushButton(std::string text, int id, int x, int y, int cx, int cy,
                              DWORD extra = 0);
ControlTemplate AutoCheckBox(std::string text, int id, int x, int y, int cx, int cy,
                             DWORD extra = 0);
ControlTemplate Icon(int iconId, int id, int x, int y, int cx, int cy, DWORD extra = 0);
ControlTemplate EtchedHorz(int id, int x, int y, int cx, int cy, DWORD extra = 0);
ControlTemplate CustomControl(std::string className, int id, int x, int y, int cx, int cy,
                              DWORD style);

// The style of a modal dialog: popup, caption, system menu (close box), modal frame.
constexpr DWORD kModalDialogStyle = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
// The font every template of ours names.
inline constexpr const char* kDialogFontFace = "MS Sans Serif";
constexpr int kDialogFontSize = 8;

// A modal dialog template in the font above.
DialogTemplate ModalDialog(int id, std::string caption, int cx, int cy,
                           std::vector<ControlTemplate> controls);

// The text of a label or button without its & markers ("&&" stays one "&").
std::string StripMnemonic(const std::string& text);

}  // namespace ui
