#include "Menu.h"

#include "system/Messages.h"

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, const char* text) {
    if (menu == nullptr) {
        return FALSE;
    }
    if ((flags & MF_SEPARATOR) != 0) {
        menu->items.push_back(MenuItem{flags, 0, {}});
        return TRUE;
    }
    if (text == nullptr) {
        return FALSE;
    }
    menu->items.push_back(MenuItem{flags, id, text});
    return TRUE;
}

MENU StandardSystemMenu() {
    MENU menu;
    menu.items = {
        {MF_STRING, SC_RESTORE, "&Restore"},     {MF_STRING, SC_MOVE, "&Move"},
        {MF_STRING, SC_SIZE, "&Size"},           {MF_STRING, SC_MINIMIZE, "Mi&nimize"},
        {MF_STRING, SC_MAXIMIZE, "Ma&ximize"},   {MF_SEPARATOR, 0, {}},
        {MF_STRING, SC_CLOSE, "&Close\tAlt+F4"},
    };
    return menu;
}

bool IsMenuItemEnabled(const MenuItem& item, const WindowAbilities& window) {
    if ((item.flags & (MF_GRAYED | MF_DISABLED)) != 0) {
        return false;
    }
    switch (item.id) {
        case SC_RESTORE:
            return window.minimized;
        case SC_SIZE:
            return window.sizable && !window.minimized;
        case SC_MINIMIZE:
            return window.minimizeBox && !window.minimized;
        case SC_MAXIMIZE:
            return window.maximizeBox;
        case SC_MOVE:
            return !window.minimized;
        default:
            return true;
    }
}
