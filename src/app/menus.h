#pragma once
// The menu bar and the tray menus as data: the platform hosts only draw what these return, so every
// text, command and check mark is decided here.

#include <string>
#include <vector>

#include "app/resource_ids.h"

namespace valbrix {

struct MenuItem {
    std::string text;  // "&" marks the mnemonic; a tab starts the shortcut column
    int command = 0;   // 0 for a separator or a submenu
    bool checked = false;
    bool grayed = false;
    std::vector<MenuItem> submenu;

    bool isSeparator() const { return command == 0 && submenu.empty(); }
    bool operator==(const MenuItem&) const = default;
};

using Menu = std::vector<MenuItem>;

// The menu bar in a language, with the check marks for the language, layout and model group.
Menu menuBar(int language, int keyboardLayout, int device);
// The tray popup: menu 302 in German, 303 in English.
Menu trayMenu(int language, bool transferActive, int device);
// The menu bar of a desktop without a tray: the tray menu comes last in it, so that its commands stay
// within reach.
Menu menuBarWithTrayMenu(int language, int keyboardLayout, int device, bool transferActive);
// A menu item by command anywhere in the menu, nullptr when absent.
const MenuItem* findMenuItem(const Menu& menu, int command);

}  // namespace valbrix
