#include "ui/MessageBox.h"

#include "ui/Backend.h"
#include "ui/ModuleState.h"

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
    ui::MessageBoxRequest request;
    request.owner = owner;
    request.text = text != nullptr ? text : "";
    // Windows shows "Error" when no caption is given.
    request.caption = caption != nullptr ? caption : "Error";
    request.type = type;
    return ui::CurrentBackend().ShowMessageBox(request);
}

int AfxMessageBox(const char* text, UINT type) {
    return MessageBoxA(nullptr, text, ui::CurrentModule().title.c_str(), type);
}

namespace ui {

std::vector<int> ButtonsOf(UINT type) {
    switch (type & 0xF) {
        case MB_OKCANCEL:
            return {IDOK, IDCANCEL};
        case MB_ABORTRETRYIGNORE:
            return {IDABORT, IDRETRY, IDIGNORE};
        case MB_YESNOCANCEL:
            return {IDYES, IDNO, IDCANCEL};
        case MB_YESNO:
            return {IDYES, IDNO};
        case MB_RETRYCANCEL:
            return {IDRETRY, IDCANCEL};
        default:
            return {IDOK};
    }
}

int DefaultButtonOf(UINT type) {
    const std::vector<int> buttons = ButtonsOf(type);
    const std::size_t index = (type & 0xF00) >> 8;
    return index < buttons.size() ? buttons[index] : buttons.front();
}

const char* ButtonName(int id) {
    switch (id) {
        case IDOK:
            return "OK";
        case IDCANCEL:
            return "Cancel";
        case IDABORT:
            return "Abort";
        case IDRETRY:
            return "Retry";
        case IDIGNORE:
            return "Ignore";
        case IDYES:
            return "Yes";
        case IDNO:
            return "No";
        default:
            return "?";
    }
}

}  // namespace ui
