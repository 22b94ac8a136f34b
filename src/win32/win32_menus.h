#pragma once
// The shell's menus as Win32 menus: the menu bar built item by item, and the tray popup loaded from
// menu resource 302 or 303 with the shell's check marks and greyed items put on it.

#include <windows.h>

#include "app/menus.h"

namespace valbrix {

// A menu bar holding the items in their order, with their check marks, greying and submenus.
HMENU createMenuBar(const Menu& menu);

// The resource that holds the tray popup in the menu's language: the German one ends with its own
// exit command (40008), the English one with 4117.
int trayMenuResource(const Menu& menu);

// The tray menu resource for `menu`, its items checked and greyed as `menu` says; destroy it with
// DestroyMenu. Its first submenu is the popup.
HMENU loadTrayMenu(HINSTANCE module, const Menu& menu);

}  // namespace valbrix
