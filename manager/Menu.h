// Menus as the main window's system menu needs them: a list of items, each a text
// with its & mnemonic (and an accelerator text after a tab) and a command id, or a
// separator. AppendMenuA adds to the end, as the platform call of that name does.
//
// The system menu of a window belongs to whoever shows the window (see
// WindowSite.h); GetSystemMenu hands out a pointer to it. The toolkit shows it on
// Alt+Space; choosing an item sends WM_SYSCOMMAND with the item's id.
//
// Ownership: a menu lives as long as its window; an HMENU does not own it.
// Thread: the UI thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "WinTypes.h"

using UINT_PTR = std::uintptr_t;

constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_SEPARATOR = 0x0800;

struct MenuItem {
    UINT flags = MF_STRING;
    UINT_PTR id = 0;
    std::string text;  // empty for a separator

    bool IsSeparator() const { return (flags & MF_SEPARATOR) != 0; }
    bool operator==(const MenuItem&) const = default;
};

struct MENU {
    std::vector<MenuItem> items;
};
using HMENU = MENU*;

// Appends an item (MF_STRING with id and text) or a separator (MF_SEPARATOR; id and
// text are ignored). FALSE for a null menu or a string item without text.
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, const char* text);

// The standard entries of a top-level window's system menu: Restore, Move, Size,
// Minimize, Maximize, a separator and Close, with the ids of WM_SYSCOMMAND.
MENU StandardSystemMenu();

// Whether a standard entry can be chosen now, for a window with the given abilities
// and state (Restore only while minimised, Size never on a fixed-size window, ...).
// Items that are not standard entries are always enabled unless MF_GRAYED or
// MF_DISABLED.
struct WindowAbilities {
    bool minimizeBox = false;
    bool maximizeBox = false;
    bool sizable = false;
    bool minimized = false;
};
bool IsMenuItemEnabled(const MenuItem& item, const WindowAbilities& window);
