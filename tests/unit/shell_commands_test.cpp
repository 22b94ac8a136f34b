// The dialog's commands, what they hand the export loop, and what the user is told.
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

TEST(Shell, TheSequenceFieldIsOpenOnlyForTheSequenceItem) {
    struct Case {
        int language;
        int item;
        bool enabled;
    };
    World w;
    w.addPort(1);
    w.start();
    const Case cases[] = {
        {CommandGerman, 7, true},  {CommandGerman, 1, false},  {CommandGerman, 0, false},
        {CommandEnglish, 7, true}, {CommandEnglish, 6, false}, {CommandEnglish, -1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        w.shell->command(c.language);
        w.host.select(ControlKeyList, c.item);
        w.shell->command(ControlKeyList, CommandSelectionChanged);
        EXPECT_EQ(w.host.enabled[SequenceField], c.enabled) << w.host.selectedText(ControlKeyList);
        EXPECT_EQ(w.shell->exportChoices().controlIndex, c.item);
        EXPECT_EQ(w.shell->exportChoices().controlText, w.host.selectedText(ControlKeyList));
    }
}

TEST(Shell, ChoicesReachTheExportLoopWhenTheyChange) {
    World w;
    w.addPort(1);
    w.start();
    w.host.select(DecimalSeparatorList, 0);
    w.shell->command(DecimalSeparatorList, CommandSelectionChanged);
    EXPECT_EQ(w.shell->exportChoices().separatorText, ".");
    w.host.select(UnitDisplayList, 1);
    w.host.setControlText(ValueTextControl, "4,56");
    w.host.setControlText(UnitTextControl, "mm");
    w.shell->command(UnitDisplayList, CommandSelectionChanged);
    EXPECT_EQ(w.shell->exportChoices().unitDisplayText, "2,7 \xB5m/mil/Tesla");
    EXPECT_EQ(w.host.text(ValueTextControl), "");
    EXPECT_EQ(w.host.text(UnitTextControl), "");
    w.host.setControlText(SequenceField, std::string(300, 'X'));
    w.shell->command(SequenceField, CommandSelectionChanged);
    EXPECT_EQ(w.shell->exportChoices().sequence, std::string(297, 'X'));
}

TEST(Shell, DeviceMenuChoosesTheModelGroupAndAsksTheGauge) {
    World w;
    struct Case {
        int command;
        int device;
    };
    w.addPort(1);
    w.start();
    for (const Case c : {Case{CommandModelGroup2, 8525}, Case{CommandModelGroup1, 6121}}) {
        SCOPED_TRACE(c.command);
        while (!w.gauge().CommandQueueEmpty()) {
            char ignored[100];
            w.gauge().NextCommand(ignored, sizeof ignored);
        }
        w.shell->command(c.command);
        EXPECT_EQ(w.shell->settingsInUse().device, c.device);
        EXPECT_EQ(w.gauge().GetDeviceModel(), c.device);
        EXPECT_EQ(w.shell->shellFlags().device.load(), c.device);
        EXPECT_TRUE(w.checked(c.command));
        EXPECT_EQ(w.host.text(DeviceLineControl), "?");
        EXPECT_STREQ(w.gauge().GetModelText().text, "");  // the request clears it
        char queued[100];
        ASSERT_TRUE(w.gauge().NextCommand(queued, sizeof queued));
        EXPECT_STREQ(queued, "?G00");
    }
}

TEST(Shell, FindDeviceAsksOnlyAGaugeThatAnswers) {
    struct Case {
        const char* device;
        bool asked;
    };
    for (const Case c : {Case{"6121", true}, Case{"7482", false}}) {
        SCOPED_TRACE(c.device);
        World w;
        w.addPort(1);
        w.settingsFile(std::string("Device=") + c.device + "\r\n");
        w.start();
        w.shell->command(CommandFindDevice);
        EXPECT_EQ(!w.gauge().CommandQueueEmpty(), c.asked);
    }
}

TEST(Shell, ARequestTheQueueRefusesIsReportedInTheStatusLine) {
    for (const int command : {int{CommandModelGroup1}, int{CommandFindDevice}}) {
        SCOPED_TRACE(command);
        World w;
        w.addPort(1);
        w.settingsFile("Language=0\r\n");
        w.start();
        while (w.gauge().QueueCommand("X")) {
        }
        w.shell->command(command);
        EXPECT_EQ(w.statusTexts().back(), "Anfrage an das Ger\xE4t nicht gesendet.");
    }
}

TEST(Shell, AKeyTheLayoutLacksIsNamedInTheTraceAndToldOnce) {
    World w;
    w.addPort(1);
    w.start();
    w.shell->keysNotTyped(UntypedKeys{VkRightAlt, 'M'});
    w.shell->keysNotTyped(UntypedKeys{VkRightAlt});
    w.host.runPosted();
    EXPECT_EQ(w.host.traced, (std::vector<std::string>{"key not typed on this keyboard layout: <ALTGR>",
                                                       "key not typed on this keyboard layout: m",
                                                       "key not typed on this keyboard layout: <ALTGR>"}));
    const std::vector<std::string> status = w.statusTexts();
    EXPECT_EQ(std::count(status.begin(), status.end(), "A character cannot be typed on this keyboard layout."), 1);
}

TEST(Shell, AboutAndSettingsItems) {
    World w;
    w.addPort(1);
    w.start();
    w.shell->command(CommandAbout);
    EXPECT_EQ(w.host.aboutBoxes, 1);
    EXPECT_EQ(w.host.aboutCaption, "About Valbrix");
    EXPECT_TRUE(endsAboutBox(2));
    EXPECT_TRUE(endsAboutBox(AboutOkButton));
    EXPECT_FALSE(endsAboutBox(1005));
    w.shell->command(ContinueButton);
    w.shell->command(CommandTraySettings);
    EXPECT_FALSE(w.shell->isInTray());
    EXPECT_TRUE(w.host.visible);
    EXPECT_FALSE(w.host.trayIconShown);
}

TEST(Shell, KeyMessagesShowInTheStatusLine) {
    World w;
    w.addPort(1);
    w.start();
    w.shell->keyTyped();
    EXPECT_EQ(w.host.text(StatusLine), "Key");
    w.shell->command(CommandGerman);
    w.shell->keyTyped();
    EXPECT_EQ(w.host.text(StatusLine), "Taste");
}

TEST(Shell, AValueTravelsFromTheLineToTheDialogAndTheKeys) {
    World w;
    const std::shared_ptr<FakeLine> line = w.addPort(1);
    w.start();
    line->receive("  7:  4.56 mm\r\n");
    w.gauge().AcquisitionPass();
    w.shell->exportLoop()->pass();
    EXPECT_EQ(w.host.text(ValueTextControl), "");  // the export thread only posts
    w.host.runPosted();
    EXPECT_EQ(w.host.text(ValueTextControl), "4,56");
    EXPECT_EQ(w.host.text(UnitTextControl), "mm");
    EXPECT_TRUE(w.keys.events.empty());  // on screen: shown, not typed

    w.shell->command(ContinueButton);
    line->receive("  8:  4.57 mm\r\n");
    w.gauge().AcquisitionPass();
    w.shell->exportLoop()->pass();
    w.host.runPosted();
    EXPECT_EQ(w.host.text(ValueTextControl), "4,57");
    EXPECT_EQ(describeKeys(w.keys.events), "4,57 mm<ENTER>");
    EXPECT_EQ(w.host.trayTip, "Values sent.");

    // The choices the user makes apply from the next value on.
    w.host.select(ControlKeyList, 7);
    w.shell->command(ControlKeyList, CommandSelectionChanged);
    w.keys.events.clear();
    line->receive("  9:  4.58 mm\r\n");
    w.gauge().AcquisitionPass();
    w.shell->exportLoop()->pass();
    EXPECT_EQ(describeKeys(w.keys.events), "4,58 mm<TAB><DOWN>");
}


TEST(Shell, WithoutAWayOfTypingTheUserIsToldWhatToDo) {
    struct Case {
        const LocalizedText& status;
        const LocalizedText& advice;
        const char* shownStatus;
        const char* adviceNames;  // what the box must tell the user to do
    };
    const Case cases[] = {
        {text::noTyping, text::noTypingWayland, "Keine Tastatureingabe m\xF6glich: Werte werden nur angezeigt.",
         "usermod -aG valbrix-uinput"},
        {text::typingRefused, text::typingRefusedNotice, "Tastatureingabe abgelehnt: Werte werden nur angezeigt.",
         "starten Sie es neu und erlauben Sie die Fernsteuerung"},
    };
    for (const Case& c : cases) {
        World w;
        w.addPort(1);
        w.settingsFile("Language=0\r\n");
        w.start();
        w.shell->typingUnavailable(c.status, c.advice);
        EXPECT_EQ(w.statusTexts().back(), c.shownStatus);
        ASSERT_EQ(w.host.notices.size(), 1u);
        EXPECT_EQ(w.host.notices[0].caption, "Valbrix Info");
        EXPECT_EQ(w.host.notices[0].text, c.advice.german);
        EXPECT_NE(w.host.notices[0].text.find(c.adviceNames), std::string::npos) << c.adviceNames;
    }
}

}  // namespace
}  // namespace valbrix
