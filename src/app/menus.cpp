#include "app/menus.h"

#include "common/localized_text.h"
#include "gauge/catalogue.h"

namespace valbrix {
namespace {

MenuItem item(const char* text, int command, bool checked = false) { return MenuItem{text, command, checked, false, {}}; }
MenuItem submenu(const char* text, Menu items) { return MenuItem{text, 0, false, false, std::move(items)}; }
MenuItem separator() { return MenuItem{}; }

}  // namespace

Menu menuBar(int language, int keyboardLayout, int device) {
    const bool group2 = modelGroupOf(device) == 2;
    return {
        submenu(text::programMenu.in(language),
                {item(text::continueButton.in(language), CommandContinueMenu), separator(),
                 item(text::exitMenu.in(language), CommandExitMenu)}),
        submenu(text::settingsMenu.in(language),
                {submenu(text::languageMenu.in(language),
                         {item(text::germanItem, CommandGerman, language == 0),
                          item(text::englishItem, CommandEnglish, language == 1)}),
                 submenu(text::device.in(language),
                         {item(text::modelGroup1Item, CommandModelGroup1, !group2),
                          item(text::modelGroup2Item, CommandModelGroup2, group2)}),
                 submenu(text::keyboardLayoutMenu.in(language),
                         {item(text::layoutGermanEnglish.in(language), CommandLayoutGermanEnglish, keyboardLayout == 1),
                          item(text::layoutFrench.in(language), CommandLayoutFrench, keyboardLayout == 3)})}),
        submenu(text::helpMenu,
                {item(text::helpItem.in(language), CommandHelp), item(text::aboutItem.in(language), CommandAbout)}),
    };
}

Menu trayMenu(int language, bool transferActive, int device) {
    const bool german = language == 0;
    MenuItem findDevice = item(german ? "&Ger\xE4t suchen" : "&Find Device", CommandFindDevice);
    findDevice.grayed = modelGroupOf(device) == 2;
    return {
        item(german ? "&Daten \xFC" "bertragen" : "&Transfer active", CommandTransferActive, transferActive),
        findDevice,
        separator(),
        item(german ? "&Einstellungen" : "&Settings", CommandTraySettings),
        item(german ? "&Hilfe" : "&Help", CommandTrayHelp),
        german ? item("&Beenden", CommandTrayExit) : item("&Leave Program", CommandLeaveProgram),
    };
}

Menu menuBarWithTrayMenu(int language, int keyboardLayout, int device, bool transferActive) {
    Menu bar = menuBar(language, keyboardLayout, device);
    bar.push_back(submenu(text::trayMenuTitle.in(language), trayMenu(language, transferActive, device)));
    return bar;
}

const MenuItem* findMenuItem(const Menu& menu, int command) {
    for (const MenuItem& entry : menu) {
        if (entry.command == command && command != 0) return &entry;
        if (const MenuItem* inner = findMenuItem(entry.submenu, command)) return inner;
    }
    return nullptr;
}

}  // namespace valbrix
