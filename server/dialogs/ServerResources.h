// The server module's resources: its About box (100), its password dialogs (142 in
// the server's form, without the prompt check box; 145; 204), the identity-name
// dialog (201) and the icon of the About box (203).
//
// The server's module state points at this table, so a dialog opened by a server
// member finds these templates and not the program's.
#pragma once

#include "ui/Resources.h"

constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_IDENTITY_NAME = 201;
constexpr int IDC_IDENTITY_NAME = 201;  // the name edit of template 201
constexpr int IDI_SERVER_ABOUT = 203;

// Built on first use; lives as long as the module.
const ui::ResourceTable& ServerResourceTable();
