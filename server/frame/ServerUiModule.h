// The server module's own UI module state: its title ("QBStorage", the caption of the
// framework's message boxes shown for the server) and its resources (ServerResources.h:
// the About box, the password dialogs, the identity-name dialog).
//
// Every scriptable member and DllCanUnloadNow switch to it for their whole call with
// QB_MANAGE_STATE(), so that dialogs and message boxes belong to the server.
#pragma once

#include "ui/ModuleState.h"

ui::Module& ServerUiModule();

#define QB_MANAGE_STATE() const ui::ModuleStateGuard qbManageState_(ServerUiModule())
