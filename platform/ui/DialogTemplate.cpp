#include "ui/DialogTemplate.h"

#include <utility>

namespace ui {
namespace {

ControlTemplate Make(ControlClass cls, std::string text, int id, int x, int y, int cx, int cy,
                     DWORD style) {
    ControlTemplate c;
    c.cls = cls;
    c.id = id;
    c.text = std::move(text);
    c.x = x;
    c.y = y;
    c.cx = cx;
    c.cy = cy;
    c.style = style;
    return c;
}

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

}  // namespace

bool ControlTemplate::IsPushButton() const {
    const DWORD type = style & BS_TYPEMASK;
    return cls == ControlClass::Button && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

bool ControlTemplate::IsDefaultButton() const {
    return cls == ControlClass::Button && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

bool ControlTemplate::IsCheckBox() const {
    return cls == ControlClass::Button && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX;
}

bool ControlTemplate::IsPasswordEdit() const {
    return cls == ControlClass::Edit && HasStyle(ES_PASSWORD);
}

bool ControlTemplate::IsIcon() const {
    return cls == ControlClass::Static && (style & SS_TYPEMASK) == SS_ICON;
}

bool ControlTemplate::IsEtchedLine() const {
    return cls == ControlClass::Static && (style & SS_TYPEMASK) == SS_ETCHEDHORZ;
}

const ControlTemplate* DialogTemplate::Control(int controlId) const {
    if (controlId == IDC_STATIC) {
        return nullptr;
    }
    for (const ControlTemplate& c : controls) {
        if (c.id == controlId) {
            return &c;
        }
    }
    return nullptr;
}

ControlTemplate LText(std::string text, int id, int x, int y, int cx, int cy, DWORD extra) {
    return Make(ControlClass::Static, std::move(text), id, x, y, cx, cy,
                kChild | WS_GROUP | SS_LEFT | extra);
}

ControlTemplate EditText(int id, int x, int y, int cx, int cy, DWORD extra) {
    return Make(ControlClass::Edit, "", id, x, y, cx, cy,
                kChild | WS_BORDER | WS_TABSTOP | ES_LEFT | extra);
}

ControlTemplate PushButton(std::string text, int id, int x, int y, int cx, int cy, DWORD extra) {
    return Make(ControlClass::Button, std::move(text), id, x, y, cx, cy,
                kChild | WS_TABSTOP | BS_PUSHBUTTON | extra);
}

ControlTemplate DefPushButton(std::string text, int id, int x, int y, int cx, int cy, DWORD extra) {
    return Make(ControlClass::Button, std::move(text), id, x, y, cx, cy,
                kChild | WS_TABSTOP | BS_DEFPUSHBUTTON | extra);
}

ControlTemplate AutoCheckBox(std::string text, int id, int x, int y, int cx, int cy, DWORD extra) {
    return Make(ControlClass::Button, std::move(text), id, x, y, cx, cy,
                kChild | WS_TABSTOP | BS_AUTOCHECKBOX | extra);
}

ControlTemplate Icon(int iconId, int id, int x, int y, int cx, int cy, DWORD extra) {
    ControlTemplate c = Make(ControlClass::Static, "", id, x, y, cx, cy, kChild | SS_ICON | extra);
    c.iconId = iconId;
    return c;
}

ControlTemplate EtchedHorz(int id, int x, int y, int cx, int cy, DWORD extra) {
    return Make(ControlClass::Static, "", id, x, y, cx, cy, kChild | SS_ETCHEDHORZ | extra);
}

ControlTemplate CustomControl(std::string className, int id, int x, int y, int cx, int cy,
                              DWORD style) {
    ControlTemplate c = Make(ControlClass::Custom, "", id, x, y, cx, cy, style);
    c.className = std::move(className);
    return c;
}

DialogTemplate ModalDialog(int id, std::string caption, int cx, int cy,
                           std::vector<ControlTemplate> controls) {
    DialogTemplate t;
    t.id = id;
    t.caption = std::move(caption);
    t.cx = cx;
    t.cy = cy;
    t.style = kModalDialogStyle;
    t.fontFace = kDialogFontFace;
    t.fontPointSize = kDialogFontSize;
    t.controls = std::move(controls);
    return t;
}

std::string StripMnemonic(const std::string& text) {
    std::string plain;
    plain.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') {
                plain.push_back('&');
                ++i;
            }
            continue;
        }
        plain.push_back(text[i]);
    }
    return plain;
}

}  // namespace ui
