// The templates of the password dialogs, as the module carrying this foundation
// holds them: 145 (set) and 204 (change) are the same in the program and the server
// module; 142 (enter) differs. The program's 142 has the prompt check box; the server
// module's is shorter and has none (its label has no mnemonic either).
//
// Each module's resource table takes these in; the dialog finds the one of the
// module that is current when it opens.
#pragma once

#include <vector>

#include "ui/DialogTemplate.h"

#ifndef QUENBY_MANAGER_FLAVOUR
#error "QUENBY_MANAGER_FLAVOUR must be defined by the build (1 program, 0 server module)"
#endif

constexpr int IDD_PASSWORD = 142;         // enter the password
constexpr int IDD_SET_PASSWORD = 145;     // set a first password
constexpr int IDD_CHANGE_PASSWORD = 204;  // change it
constexpr int IDC_RETYPE_PASSWORD = 205;
constexpr int IDC_OLD_PASSWORD = 206;
constexpr int IDC_PASSWORD = 1006;  // the password; in 204 the new one
constexpr int IDC_PROMPT = 1008;    // "Always prompt for password before &Form Filling"

// 142, 145 and 204 in this build's form.
std::vector<ui::DialogTemplate> PasswordDialogTemplates();
