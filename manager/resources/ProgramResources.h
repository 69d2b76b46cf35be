// The program's resources: the About box (100), the main window (102), the password
// dialogs in the program's form (142 with the prompt check box, 145, 204), the
// system-menu text (string 101), the blank page (HTML 146) and the program's icons
// (128 in the About box, 139 for the main window).
//
// The program's module state points at this table (ui::ProgramModule().resources).
#pragma once

#include "ui/Resources.h"

constexpr int IDR_MAINFRAME = 128;  // icon of the About box
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_QUENBY_DIALOG = 102;
constexpr int IDS_ABOUTBOX = 101;
constexpr int IDI_QUENBY = 139;  // icon of the main window
constexpr int IDR_BLANK_PAGE = 146;
constexpr int IDC_BROWSER = 1002;
// The class of control 1002: the embedded web browser.
inline constexpr const char* kBrowserControlClass = "{8856F961-340A-11D0-A96B-00C04FD705A2}";

// Built on first use; lives as long as the program.
const ui::ResourceTable& ProgramResourceTable();
