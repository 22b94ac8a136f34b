#include "win32/win32_menus.h"

namespace valbrix {
namespace {

UINT itemState(const MenuItem& item) {
    return (item.checked ? MF_CHECKED : MF_UNCHECKED) | (item.grayed ? MF_GRAYED : MF_ENABLED);
}

void appendItems(HMENU target, const Menu& menu) {
    for (const MenuItem& item : menu) {
        if (item.isSeparator()) {
            AppendMenuA(target, MF_SEPARATOR, 0, nullptr);
        } else if (!item.submenu.empty()) {
            const HMENU submenu = CreatePopupMenu();
            appendItems(submenu, item.submenu);
            AppendMenuA(target, MF_POPUP | MF_STRING | itemState(item), reinterpret_cast<UINT_PTR>(submenu),
                        item.text.c_str());
        } else {
            AppendMenuA(target, MF_STRING | itemState(item), static_cast<UINT_PTR>(item.command), item.text.c_str());
        }
    }
}

void applyStates(HMENU target, const Menu& menu) {
    for (const MenuItem& item : menu) {
        if (item.command != 0) {
            CheckMenuItem(target, static_cast<UINT>(item.command), MF_BYCOMMAND | (item.checked ? MF_CHECKED : MF_UNCHECKED));
            EnableMenuItem(target, static_cast<UINT>(item.command), MF_BYCOMMAND | (item.grayed ? MF_GRAYED : MF_ENABLED));
        }
        applyStates(target, item.submenu);
    }
}

}  // namespace

HMENU createMenuBar(const Menu& menu) {
    const HMENU bar = CreateMenu();
    appendItems(bar, menu);
    return bar;
}

int trayMenuResource(const Menu& menu) {
    return findMenuItem(menu, CommandTrayExit) != nullptr ? MNU_TRAY_GERMAN : MNU_TRAY_ENGLISH;
}

HMENU loadTrayMenu(HINSTANCE module, const Menu& menu) {
    const HMENU loaded = LoadMenuA(module, MAKEINTRESOURCEA(trayMenuResource(menu)));
    if (loaded != nullptr) applyStates(loaded, menu);
    return loaded;
}

}  // namespace valbrix
