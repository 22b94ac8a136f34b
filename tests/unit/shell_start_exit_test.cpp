// Starting up, asking to exit and the orderly shutdown.
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

TEST(Shell, StartUpRunsItsStepsInOrder) {
    struct Case {
        const char* language;
        const char* tooltip;
        const char* searching;
        const char* lastStatus;
        const char* continueButton;
    };
    const Case cases[] = {
        {"0", "In diesem Feld wird der Programmstatus angezeigt.", "Schnittstellen werden gesucht \x85",
         "Programm aktiv.", "Fortfahren"},
        {"1", "This Field shows the program status.", "Searching for ports \x85", "Program active.", "Continue"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        World w;
        const std::shared_ptr<FakeLine> line1 = w.addPort(1);
        const std::shared_ptr<FakeLine> line3 = w.addPort(3, 51);
        w.settingsFile(std::string("Language=") + c.language +
                     "\r\nComPort=3\r\nDisplayUSBPorts=1\r\nDevice=8525\r\nSequence=tab,up\r\n");
        w.start();

        // The status line speaks the built-in English before the file is read, whatever it holds. The
        // window is set up while the ports are probed; the scan's end is the end of the start-up.
        EXPECT_EQ(w.statusTexts(), (std::vector<std::string>{"Initialize Program", c.searching, c.lastStatus}));
        EXPECT_EQ(w.host.statusTooltip, c.tooltip);
        EXPECT_EQ(w.host.text(SequenceField), "TAB,UP");

        // The scan saw the stored port and the USB choice: the settings were read before it.
        EXPECT_EQ(w.host.lists[PortListControl].items, (std::vector<std::string>{"COM1", "COM3 (USB)"}));
        EXPECT_EQ(w.host.lists[PortListControl].selected, 1);
        EXPECT_GT(w.eventIndex("list PortList"), w.eventIndex(std::string("text StatusLine=") + c.searching));
        EXPECT_EQ(w.host.text(ContinueButton), c.continueButton);

        EXPECT_EQ(w.host.text(ValueTextControl), "");
        EXPECT_EQ(w.host.text(UnitTextControl), "");
        EXPECT_EQ(w.host.fonts[DeviceLineControl].height, 18);
        EXPECT_EQ(w.host.fonts[DeviceLineControl].weight, 600);
        EXPECT_EQ(w.host.fonts[ValueTextControl].height, 24);
        EXPECT_EQ(w.host.fonts[ValueTextControl].weight, 700);
        EXPECT_EQ(w.host.fonts[UnitTextControl].height, 24);
        EXPECT_EQ(w.host.fonts[UnitTextControl].weight, 700);

        EXPECT_EQ(w.gauge().PortNumber(), 3);
        EXPECT_EQ(line3->signals, (std::vector<LineSignal>{LineSignal::SetDtr, LineSignal::SetRts}));
        EXPECT_TRUE(line1->signals.empty());
        EXPECT_EQ(w.gauge().GetDeviceModel(), 8525);
        EXPECT_TRUE(w.checked(CommandModelGroup2));
        ASSERT_NE(w.shell->exportLoop(), nullptr);
        EXPECT_EQ(w.shell->shellFlags().device.load(), 8525);
    }
}

TEST(Shell, NoSettingsFileStartsWithTheBuiltInChoices) {
    World w;
    w.addPort(1);
    w.start();
    EXPECT_EQ(w.host.selectedText(ControlKeyList), "Enter");
    EXPECT_EQ(w.host.selectedText(DecimalSeparatorList), ",");
    EXPECT_EQ(w.host.selectedText(UnitDisplayList), "2,7 um/mil/Tesla");
    EXPECT_EQ(w.host.text(SequenceField), "TAB,DOWN");
    EXPECT_FALSE(w.host.enabled[SequenceField]);
    const ExportChoices choices = w.shell->exportChoices();
    EXPECT_EQ(choices.controlText, "Enter");
    EXPECT_EQ(choices.controlIndex, 1);
    EXPECT_EQ(choices.separatorText, ",");
    EXPECT_EQ(choices.unitDisplayText, "2,7 um/mil/Tesla");
    EXPECT_EQ(choices.sequence, "TAB,DOWN");
    EXPECT_TRUE(w.checked(CommandEnglish));
    EXPECT_TRUE(w.checked(CommandModelGroup1));
    EXPECT_TRUE(w.checked(CommandLayoutGermanEnglish));
    EXPECT_EQ(w.keys.keyDelay(), 0);
}

// The pause the file asks for is the sink's before the first value can reach it.
TEST(Shell, TheKeyDelayOfTheFileGoesToTheKeySink) {
    World w;
    w.addPort(1);
    w.settingsFile("KeyDelay=30\r\n");
    w.start();
    EXPECT_EQ(w.keys.keyDelay(), 30);
}

TEST(Shell, EveryExitCommandSavesAndEndsWithoutAQuestion) {
    for (const int id : {int{CommandCancel}, int{ExitButton}, int{CommandExitMenu}, int{CommandLeaveProgram},
                         int{CommandTrayExit}}) {
        SCOPED_TRACE(id);
        World w;
        w.addPort(1);
        w.settingsFile("Language=0\r\n");
        w.start();
        w.shell->command(CommandEnglish);
        w.shell->command(id);
        EXPECT_TRUE(w.host.ended);
        EXPECT_TRUE(w.host.questions.empty());
        EXPECT_EQ(w.stored("Language"), "1");
        EXPECT_EQ(w.shell->gaugeObject(), nullptr);
    }
}

TEST(Shell, AskedExitAnsweredNoChangesNothing) {
    World w;
    w.addPort(1);
    w.settingsFile("AskForClose=1\r\nLanguage=0\r\n");
    w.start();
    w.shell->command(CommandEnglish);
    w.host.answers = {false};
    w.host.events.clear();
    w.shell->command(CommandCancel);
    ASSERT_EQ(w.host.questions.size(), 1u);
    EXPECT_EQ(w.host.questions[0].caption, "Question");
    EXPECT_EQ(w.host.questions[0].text, "Leave Program ?");
    EXPECT_EQ(w.host.events, std::vector<std::string>{"ask Leave Program ?"});
    EXPECT_FALSE(w.host.ended);
    EXPECT_NE(w.shell->gaugeObject(), nullptr);
    EXPECT_EQ(w.stored("Language"), "0");

    w.host.answers = {true};
    w.shell->command(ExitButton);
    EXPECT_TRUE(w.host.ended);
    EXPECT_EQ(w.stored("Language"), "1");
}

TEST(Shell, ShutdownStopsSavesReleasesAndEnds) {
    World w;
    const std::shared_ptr<FakeLine> line = w.addPort(1);
    w.start();
    w.shell->command(ContinueButton);
    bool loopGoneAtSave = false;
    bool gaugeThereAtSave = false;
    std::size_t eventsAtSave = 0;
    w.store.onPut = [&] {
        if (eventsAtSave != 0) return;
        loopGoneAtSave = w.shell->exportLoop() == nullptr;
        gaugeThereAtSave = w.shell->gaugeObject() != nullptr && line->open;
        eventsAtSave = w.host.events.size();
    };
    w.host.events.clear();
    line->written.clear();
    w.shell->command(CommandCancel);
    w.store.onPut = nullptr;

    EXPECT_TRUE(loopGoneAtSave);
    EXPECT_TRUE(gaugeThereAtSave);
    EXPECT_EQ(w.host.events, (std::vector<std::string>{"tray remove", "show", "text DeviceLine=?", "tray remove", "end"}));
    EXPECT_EQ(eventsAtSave, 3u);  // back on screen before saving, icon and dialog gone after
    EXPECT_EQ(line->written, "\x02\x03");
    EXPECT_FALSE(line->open);
    EXPECT_EQ(w.shell->gaugeObject(), nullptr);
    EXPECT_EQ(w.stored("Separator"), "Enter");
    EXPECT_EQ(w.stored("Sequence"), "TAB,DOWN");
}

TEST(Shell, SettingsThatCannotBeSavedAreToldOnceWithoutHoldingUpASystemEnd) {
    for (const bool fromSystem : {false, true}) {
        SCOPED_TRACE(fromSystem);
        World w;
        w.addPort(1);
        w.start();
        w.store.refuseWrites = true;
        if (fromSystem) w.shell->terminate();
        else w.shell->command(CommandCancel);
        // Refused beside the program, the file went to the per-user folder, which refused it too.
        const std::string message = "The settings could not be saved:\n" + w.where.perUserFolder + "Valbrix.ini";
        EXPECT_TRUE(w.host.ended);
        if (fromSystem) {
            EXPECT_TRUE(w.host.notices.empty());
            EXPECT_EQ(w.host.traced, std::vector<std::string>{message});
        } else {
            ASSERT_EQ(w.host.notices.size(), 1u);
            EXPECT_EQ(w.host.notices[0].text, message);
        }
    }
}

TEST(Shell, NothingReachesTheDialogAfterTheShutdown) {
    World w;
    w.addPort(1);
    w.start();
    w.shell->showValueText("4,56");
    w.shell->hideToTray();
    w.shell->command(CommandCancel);
    w.host.events.clear();
    w.host.runPosted();
    w.shell->activated(true, false);
    w.shell->command(ContinueButton);
    w.shell->trayClicked(TrayButton::Right);
    w.shell->portChanged(true);
    EXPECT_TRUE(w.host.events.empty());
    EXPECT_TRUE(w.host.trayMenus.empty());
}

// With the real threads: the acquisition and export threads hand their work to the test's thread,
// which plays the user-interface thread, and the shutdown joins both while they keep posting.
TEST(ShellThreads, AValueCrossesTheThreadsAndTheShutdownJoinsThem) {
    TempFolder temp;
    const SettingsLocations where{temp.path("program") + sep, temp.path("user") + sep};
    createFolders(where.programDirectory);
    IniFileStore store;
    FakeDialogHost host;
    FakePorts ports{systemClock()};
    RecordingKeySink keys;
    OpenDesk desk;
    const std::shared_ptr<FakeLine> line = ports.add(1);
    line->echo = true;
    line->receive("  1:  4.56 mm\r\n");  // waiting before the threads start: the fake line is not shared

    Shell shell(ShellEnvironment{host, store, where, ports, systemClock(), keys, desk, true, systemJournalFiles(),
                                 systemWallClock()});
    shell.initMainDialog();
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (host.text(ValueTextControl).empty() && std::chrono::steady_clock::now() < giveUp) {
        host.runPosted();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    shell.command(CommandCancel);
    EXPECT_TRUE(host.ended);
    EXPECT_EQ(shell.gaugeObject(), nullptr);
    EXPECT_EQ(host.text(ValueTextControl), "4,56");
}

}  // namespace
}  // namespace valbrix
