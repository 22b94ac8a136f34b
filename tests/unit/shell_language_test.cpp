// The two interface languages, the keyboard layout and help, which follow them.
#include "app/shell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "shell_world.h"

namespace valbrix {
namespace {

using namespace testing;

TEST(Shell, LanguageCommandsRelabelAndEmptyTheStatusLine) {
    World w;
    struct Case {
        int command;
        int language;
        const char* exitButton;
        const char* unitLabel;
    };
    w.addPort(1);
    w.start();
    for (const Case c :
         {Case{CommandGerman, 0, "&Beenden", "Ma\xDF" "einheit"}, Case{CommandEnglish, 1, "&Exit", "Unit"}}) {
        SCOPED_TRACE(c.command);
        w.shell->command(c.command);
        EXPECT_EQ(w.shell->settingsInUse().language, c.language);
        EXPECT_EQ(w.shell->shellFlags().language.load(), c.language);
        EXPECT_EQ(w.host.text(ExitButton), c.exitButton);
        EXPECT_EQ(w.host.text(UnitLabel), c.unitLabel);
        EXPECT_EQ(w.host.text(StatusLine), "");
        EXPECT_TRUE(w.checked(c.command));
        // The tooltip keeps the language of the start.
        EXPECT_EQ(w.host.statusTooltip, "This Field shows the program status.");
    }
}

TEST(Shell, LanguageSwitchKeepsTheControlCharacter) {
    World w;
    w.addPort(1);
    w.settingsFile("Language=0\r\nSeparator=Runter\r\n");
    w.start();
    EXPECT_EQ(w.host.selectedText(ControlKeyList), "Runter");
    w.shell->command(CommandEnglish);
    EXPECT_EQ(w.host.selectedText(ControlKeyList), "Down");
    EXPECT_EQ(w.host.lists[ControlKeyList].items.back(), "Sequence");
    EXPECT_EQ(w.shell->exportChoices().controlText, "Down");
    w.shell->command(CommandCancel);
    EXPECT_EQ(w.stored("Separator"), "Down");
}

TEST(Shell, AStoredChoiceOfTheOtherLanguageLeavesTheListEmpty) {
    World w;
    w.addPort(1);
    w.settingsFile("Language=1\r\nSeparator=Runter\r\n");
    w.start();
    EXPECT_EQ(w.host.selectedIndex(ControlKeyList), -1);
    EXPECT_EQ(w.shell->exportChoices().controlText, "");
    EXPECT_EQ(w.shell->exportChoices().controlIndex, -1);
}

TEST(Shell, KeyboardLayoutLeavesExactlyOneItemChecked) {
    World w;
    struct Case {
        int command;
        int layout;
        int other;
    };
    w.addPort(1);
    w.start();
    for (const Case c : {Case{CommandLayoutFrench, 3, CommandLayoutGermanEnglish},
                         Case{CommandLayoutGermanEnglish, 1, CommandLayoutFrench}}) {
        w.shell->command(c.command);
        EXPECT_EQ(w.shell->settingsInUse().keyboardLayout, c.layout);
        EXPECT_EQ(w.shell->shellFlags().keyboardLayout.load(), c.layout);
        EXPECT_TRUE(w.checked(c.command));
        EXPECT_FALSE(w.checked(c.other));
    }
}

TEST(Shell, HelpOpensTheFileOfTheLanguage) {
    World w;
    struct Case {
        int language;
        const char* file;
    };
    w.addPort(1);
    w.start();
    for (const Case c : {Case{CommandGerman, "VALBRIXHELP_DE.chm"}, Case{CommandEnglish, "VALBRIXHELP_EN.chm"}}) {
        w.host.helpFiles.clear();
        w.shell->command(c.language);
        w.shell->command(CommandHelp);
        w.shell->command(CommandTrayHelp);
        w.shell->helpRequested();
        EXPECT_EQ(w.host.helpFiles, (std::vector<std::string>{c.file, c.file, c.file}));
    }
}

}  // namespace
}  // namespace valbrix
