// Message boxes: MessageBoxA and AfxMessageBox, shown by the installed UI backend.
//
// Texts and captions are 8-bit strings in the process's code page. The box is modal;
// the call returns the id of the button that ended it (IDOK, IDYES, ...).
// Thread: call from the thread that runs the UI (the only one in our programs).
#pragma once

#include <string>
#include <vector>

#include "WinTypes.h"

// Buttons (low nibble of the type).
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_ABORTRETRYIGNORE = 0x2;
constexpr UINT MB_YESNOCANCEL = 0x3;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_RETRYCANCEL = 0x5;
// Icons.
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONWARNING = 0x30;
constexpr UINT MB_ICONINFORMATION = 0x40;
// Default button.
constexpr UINT MB_DEFBUTTON1 = 0x000;
constexpr UINT MB_DEFBUTTON2 = 0x100;
constexpr UINT MB_DEFBUTTON3 = 0x200;
// Modality.
constexpr UINT MB_APPLMODAL = 0x0000;
constexpr UINT MB_SYSTEMMODAL = 0x1000;
constexpr UINT MB_TASKMODAL = 0x2000;

// Button ids.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);
// The framework's box: no owner, the current module's title as caption.
int AfxMessageBox(const char* text, UINT type = MB_OK);
inline int AfxMessageBox(const std::string& text, UINT type = MB_OK) {
    return AfxMessageBox(text.c_str(), type);
}

namespace ui {

// The button ids a type shows, in order (MB_YESNO -> IDYES, IDNO).
std::vector<int> ButtonsOf(UINT type);
// The button that Enter presses: the MB_DEFBUTTONn-th of ButtonsOf(type).
int DefaultButtonOf(UINT type);
// "OK", "Cancel", "Yes", ... for logs and transcripts.
const char* ButtonName(int id);

}  // namespace ui
