// The shell's tables: menus, tray pictures, the port list and the texts they are built from.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/menus.h"
#include "app/port_list.h"
#include "app/tray_icon.h"
#include "common/localized_text.h"
#include "export/export_settings.h"

namespace valbrix {
namespace {

TEST(LocalizedTexts, KeepTheirExactBytes) {
    EXPECT_STREQ(text::trayActive.in(1), "Program active");
    EXPECT_STREQ(text::active.in(1), "Program active.");
    EXPECT_STREQ(text::exitMenu.in(1), "E&xit&\tAlt+F4");
    EXPECT_STREQ(text::connectDevice.in(0), "Schlie\xDF" "en Sie bitte ein Ger\xE4t an.");
    EXPECT_STREQ(text::modelGroup2Item, "VARNITRON 6141 / MAGNOTELLAR 7482 / QMV 8525  / PULSOVANT 5264");
    EXPECT_STREQ(text::valueFormatList, "2,7|2,7 \xB5m/mil/Tesla|2,7 um/mil/Tesla");
    EXPECT_STREQ(text::controlCharacterList.in(0), "-nichts-|Enter|Tab|Rechts|Links|Hoch|Runter|Sequenz");
}

TEST(Menus, MenuBarChecksLanguageLayoutAndModelGroup) {
    struct Case {
        int language;
        int layout;
        int device;
        int checked[3];
        int unchecked[3];
    };
    const Case cases[] = {
        {0, 1, 6121, {CommandGerman, CommandLayoutGermanEnglish, CommandModelGroup1},
         {CommandEnglish, CommandLayoutFrench, CommandModelGroup2}},
        {1, 3, 7482, {CommandEnglish, CommandLayoutFrench, CommandModelGroup2},
         {CommandGerman, CommandLayoutGermanEnglish, CommandModelGroup1}},
        {1, 2, 6141, {CommandEnglish, CommandModelGroup2, CommandModelGroup2},
         {CommandLayoutGermanEnglish, CommandLayoutFrench, CommandModelGroup1}},
    };
    for (const Case& c : cases) {
        const Menu bar = menuBar(c.language, c.layout, c.device);
        for (int command : c.checked) EXPECT_TRUE(findMenuItem(bar, command)->checked) << command;
        for (int command : c.unchecked) EXPECT_FALSE(findMenuItem(bar, command)->checked) << command;
    }
    const Menu english = menuBar(1, 1, 6121);
    ASSERT_EQ(english.size(), 3u);
    EXPECT_EQ(english[0].text, "&Program");
    EXPECT_TRUE(english[0].submenu[1].isSeparator());
    EXPECT_EQ(findMenuItem(english, CommandExitMenu)->text, "E&xit&\tAlt+F4");
    EXPECT_EQ(english[2].text, "?");
    EXPECT_EQ(findMenuItem(english, CommandAbout)->text, "&About");
}

TEST(Menus, TrayMenuByLanguage) {
    const Menu german = trayMenu(0, true, 8525);
    EXPECT_EQ(german[0].text, "&Daten \xFC" "bertragen");
    EXPECT_TRUE(german[0].checked);
    EXPECT_TRUE(findMenuItem(german, CommandFindDevice)->grayed);
    EXPECT_NE(findMenuItem(german, CommandTrayExit), nullptr);
    EXPECT_EQ(findMenuItem(german, CommandLeaveProgram), nullptr);

    const Menu english = trayMenu(1, false, 6121);
    EXPECT_FALSE(english[0].checked);
    EXPECT_FALSE(findMenuItem(english, CommandFindDevice)->grayed);
    EXPECT_EQ(findMenuItem(english, CommandLeaveProgram)->text, "&Leave Program");
    EXPECT_TRUE(english[2].isSeparator());
}

TEST(TrayIcon, PictureAndTipByState) {
    struct Case {
        bool transfer;
        int device;
        bool identified;
        int icon;
        const char* englishTip;
        bool setsTips;
    };
    const Case cases[] = {
        {true, 8525, false, 405, "Program active", true},
        {true, 6121, true, 401, "Program active", true},
        {true, 6121, false, 404, "Please connect Device !", false},
        {false, 7482, true, 406, "Program active", true},
        {false, 6121, true, 402, "Program in Standby-Mode", false},
        {false, 6121, false, 404, "Please connect Device !", false},
    };
    for (const Case& c : cases) {
        const TrayIconChoice choice = chooseTrayIcon(c.transfer, c.device, c.identified);
        EXPECT_EQ(choice.icon, c.icon);
        EXPECT_STREQ(choice.tip.in(1), c.englishTip);
        EXPECT_EQ(choice.becomesTrayTips, c.setsTips);
    }
}

TEST(PortList, ItemsSuffixesAndSelection) {
    const std::vector<FoundPort> found = {{1, 0}, {3, 51}, {7, 4}};
    struct Case {
        bool usb;
        PortScan scan;
        int comPort;
        const char* text;
        int selected;
    };
    const Case cases[] = {
        {true, PortScan::StartUp, 7, "COM1|COM3 (USB)|COM7 (4)", 2},
        {true, PortScan::Rescan, 7, "COM1|COM3 (USB)|COM7", 2},
        {false, PortScan::StartUp, 7, "COM1|COM3|COM7", 2},
        {true, PortScan::StartUp, 5, "COM1|COM3 (USB)|COM7 (4)", 2},
        {true, PortScan::StartUp, -1, "COM1|COM3 (USB)|COM7 (4)", 0},
    };
    for (const Case& c : cases) {
        const PortList list = portListText(found, c.comPort, c.usb, c.scan, German);
        EXPECT_EQ(list.text, c.text);
        EXPECT_EQ(list.selected, c.selected);
    }
    EXPECT_EQ(portListText({{3, 0}, {9, 0}}, 5, false, PortScan::StartUp, German).selected, 1);  // COM9 selected
    EXPECT_EQ(portListText({}, 5, false, PortScan::Rescan, German).text, "");
}

TEST(PortList, APortTheUserMayNotOpenIsMarkedInTheInterfaceLanguage) {
    const std::vector<FoundPort> found = {{3, 51}, {5, 0, true}, {21, 51, true}};
    struct Case {
        bool usb;
        int language;
        const char* text;
    };
    const Case cases[] = {
        {true, German, "COM3 (USB)|COM5 (kein Zugriff)|COM21 (kein Zugriff)"},
        {false, English, "COM3|COM5 (no access)|COM21 (no access)"},
    };
    for (const Case& c : cases) {
        const PortList list = portListText(found, 5, c.usb, PortScan::Rescan, c.language);
        EXPECT_EQ(list.text, c.text);
        EXPECT_EQ(list.selected, 1);
    }
    EXPECT_EQ(portFromListText("COM21 (no access)"), 21);
}

TEST(PortList, NeverRunsOverItsSize) {
    std::vector<FoundPort> found;
    for (int n = 1; n <= 99; ++n) found.push_back({n, 51});
    for (const PortScan scan : {PortScan::StartUp, PortScan::Rescan}) {
        const PortList list = portListText(found, 99, true, scan, English);
        EXPECT_LE(list.text.size(), portListLimit(scan));
        EXPECT_GT(list.listed, 10);
        EXPECT_EQ(list.text.substr(0, 10), "COM1 (USB)");
        EXPECT_EQ(list.selected, list.listed);
    }
}

TEST(PortList, PortFromListText) {
    struct Case {
        const char* item;
        int port;
    };
    const Case cases[] = {{"COM1", 1},   {"COM12 (USB)", 12}, {"COM123", 12}, {"COM7 (4)", 7},
                          {"", -1},      {"COM", -1},         {"COMx", -1}};
    for (const Case& c : cases) EXPECT_EQ(portFromListText(c.item), c.port) << c.item;
}

}  // namespace
}  // namespace valbrix
