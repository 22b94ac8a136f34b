// The shell against a recording dialog host: a gauge on scripted ports, the real settings file in a
// folder of the test's own, and the gauge's and the export loop's passes driven by hand.
#include "app/shell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/file_system.h"
#include "app/ini_file_store.h"
#include "app/settings_paths.h"
#include "export/key_text.h"
#include "fake_clock.h"
#include "fake_dialog_host.h"
#include "fake_ports.h"
#include "temp_folder.h"

namespace valbrix {
namespace {

using testing::FakeClock;
using testing::FakeDialogHost;
using testing::FakeLine;
using testing::FakePorts;
using testing::TempFolder;
using testing::writeFile;

constexpr char sep = pathSeparator;
constexpr int CommandSelectionChanged = 1;  // CBN_SELCHANGE: any notification but the focus

// The real settings file, with a look at the shell whenever the settings are written.
class WatchedStore final : public SettingsStore {
public:
    std::string get(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& defaultValue, std::size_t maxLength) override {
        return real.get(file, section, key, defaultValue, maxLength);
    }
    bool put(const std::string& file, const std::string& section, const std::string& key,
             const std::string& value) override {
        if (onPut) onPut();
        return real.put(file, section, key, value);
    }

    std::function<void()> onPut;

private:
    IniFileStore real;
};

// One dialog with everything around it: settings folders, scripted ports, a virtual clock, the keys.
struct World {
    World() { createFolders(where.programDirectory); }

    void settingsFile(const std::string& lines) { writeFile(programFile, "[Settings]\r\n" + lines); }
    std::string stored(const char* key) { return store.get(programFile, "Settings", key, "<none>", 999); }

    std::shared_ptr<FakeLine> addPort(int number, int providerValue = 0) {
        const std::shared_ptr<FakeLine> line = ports.add(number);
        line->providerValue = providerValue;
        line->echo = true;
        return line;
    }

    void start() {
        shell = std::make_unique<Shell>(ShellEnvironment{host, store, where, ports, clock, keys, false});
        shell->initMainDialog();
    }

    cVarniTiny& gauge() { return *shell->gaugeObject(); }

    // The gauge answers "G00" after a quiet line, as a pocket gauge does.
    void identifyGauge(const std::shared_ptr<FakeLine>& line) {
        clock.advance(600);
        gauge().RequestIdentification();
        gauge().AcquisitionPass();
        line->receive("G6121\r\n");
        gauge().AcquisitionPass();
        host.runPosted();
    }

    std::vector<std::string> statusTexts() const {
        std::vector<std::string> texts;
        for (const std::string& event : host.events)
            if (event.rfind("text 1003=", 0) == 0) texts.push_back(event.substr(10));
        return texts;
    }

    std::size_t eventIndex(const std::string& event) const {
        return static_cast<std::size_t>(std::find(host.events.begin(), host.events.end(), event) - host.events.begin());
    }

    bool checked(int command) const {
        const MenuItem* item = findMenuItem(host.menuBar, command);
        return item != nullptr && item->checked;
    }

    TempFolder temp;
    SettingsLocations where{temp.path("program") + sep, temp.path("user") + sep};
    std::string programFile = where.programDirectory + "Valbrix.ini";
    WatchedStore store;
    FakeDialogHost host;
    FakePorts ports;
    FakeClock clock;
    RecordingKeySink keys;
    std::unique_ptr<Shell> shell;  // last: it goes before everything it uses
};

TEST(Shell, StartUpRunsItsStepsInOrder) {
    struct Case {
        const char* language;
        const char* tooltip;
        const char* lastStatus;
        const char* continueButton;
    };
    const Case cases[] = {
        {"0", "In diesem Feld wird der Programmstatus angezeigt.", "Programm aktiv.", "Fortfahren"},
        {"1", "This Field shows the program status.", "Program active.", "Continue"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        World w;
        const std::shared_ptr<FakeLine> line1 = w.addPort(1);
        const std::shared_ptr<FakeLine> line3 = w.addPort(3, 51);
        w.settingsFile(std::string("Language=") + c.language +
                     "\r\nComPort=3\r\nDisplayUSBPorts=1\r\nDevice=8525\r\nSequence=tab,up\r\n");
        w.start();

        // The status line speaks the built-in English before the file is read, whatever it holds.
        const std::vector<std::string> status = w.statusTexts();
        ASSERT_EQ(status.size(), 2u);
        EXPECT_EQ(status.front(), "Initialize Program");
        EXPECT_EQ(status.back(), c.lastStatus);
        EXPECT_EQ(w.host.statusTooltip, c.tooltip);
        EXPECT_EQ(w.host.text(SequenceField), "TAB,UP");

        // The scan saw the stored port and the USB choice: the settings were read before it.
        EXPECT_EQ(w.host.lists[PortListControl].items, (std::vector<std::string>{"COM1", "COM3 (USB)"}));
        EXPECT_EQ(w.host.lists[PortListControl].selected, 1);
        EXPECT_LT(w.eventIndex("list 1106"), w.eventIndex("list 1104"));
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
}

TEST(Shell, EveryExitCommandSavesAndEndsWithoutAQuestion) {
    for (const int id : {CommandCancel, int{ExitButton}, int{CommandExitMenu}, int{CommandLeaveProgram},
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

TEST(Shell, ContinueCommandsHideIntoTheTray) {
    for (const int id : {int{ContinueButton}, int{CommandContinueMenu}}) {
        SCOPED_TRACE(id);
        World w;
        w.addPort(1);
        w.start();
        w.shell->command(id);
        EXPECT_TRUE(w.shell->isInTray());
        EXPECT_TRUE(w.shell->shellFlags().inTray.load());
        EXPECT_TRUE(w.host.trayIconShown);
        EXPECT_FALSE(w.host.visible);
    }
}

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

TEST(Shell, LosingActivationHidesUnlessTheAboutBoxTookIt) {
    struct Step {
        bool aboutOpens;
        bool deactivated;
        bool minimized;
        bool inTrayAfter;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        int trayIconsAdded;
    };
    const Case cases[] = {
        {"another application", {{false, true, false, true}}, 1},
        {"minimised", {{false, false, true, true}}, 1},
        {"activated on screen", {{false, false, false, false}}, 0},
        {"about box, then another application",
         {{true, true, false, false}, {false, true, false, true}}, 1},
        {"about box, then back", {{true, true, false, false}, {false, false, false, false}}, 0},
        {"deactivated twice", {{false, true, false, true}, {false, true, false, true}}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        World w;
        w.addPort(1);
        w.start();
        for (const Step& step : c.steps) {
            if (step.aboutOpens) w.shell->aboutOpened();
            w.shell->activated(step.deactivated, step.minimized);
            EXPECT_EQ(w.shell->isInTray(), step.inTrayAfter);
            EXPECT_EQ(w.host.visible, !step.inTrayAfter);
        }
        EXPECT_EQ(std::count_if(w.host.events.begin(), w.host.events.end(),
                                [](const std::string& e) { return e.rfind("tray add", 0) == 0; }),
                  c.trayIconsAdded);
    }
}

TEST(Shell, TrayIconShowsTransferAndIdentification) {
    struct Case {
        const char* name;
        const char* settings;
        bool identified;
        bool toggleTransfer;
        int icon;
        const char* tip;
    };
    const Case cases[] = {
        {"start, no gauge", "", false, false, IconNoGauge, "Program started"},
        {"start, no gauge, German", "Language=0\r\n", false, false, IconNoGauge, "Programm gestartet"},
        {"model group 2", "Device=8525\r\n", false, false, IconActivePrinting, "Program active"},
        {"model group 2, transfer off", "Device=7482\r\n", false, true, IconStandbyPrinting, "Program active"},
        {"identified", "", true, false, IconActiveIdentified, "Program active"},
        {"identified, transfer off", "", true, true, IconStandbyIdentified, "Program in Standby-Mode"},
        {"no gauge, transfer off", "", false, true, IconNoGauge, "Please connect Device !"},
        {"German standby", "Language=0\r\n", true, true, IconStandbyIdentified, "Programm im Standby-Modus."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        World w;
        const std::shared_ptr<FakeLine> line = w.addPort(1);
        w.settingsFile(c.settings);
        w.start();
        if (c.identified) w.identifyGauge(line);
        w.shell->command(ContinueButton);
        if (c.toggleTransfer) w.shell->command(CommandTransferActive);
        EXPECT_TRUE(w.host.trayIconShown);
        EXPECT_EQ(w.host.trayIcon, c.icon);
        EXPECT_EQ(w.host.trayTip, c.tip);
    }
}

TEST(Shell, TheIconFollowsAGaugeThatIdentifiesWhileHidden) {
    World w;
    const std::shared_ptr<FakeLine> line = w.addPort(1);
    w.start();
    w.shell->command(ContinueButton);
    EXPECT_EQ(w.host.trayIcon, IconNoGauge);
    w.identifyGauge(line);
    w.shell->exportLoop()->pass();
    w.host.runPosted();
    EXPECT_EQ(w.host.trayIcon, IconActiveIdentified);
    EXPECT_EQ(w.host.trayTip, "Program active");
}

TEST(Shell, NothingHappensToTheTrayWhileTheDialogIsOnScreen) {
    World w;
    w.addPort(1);
    w.start();
    w.host.events.clear();
    w.shell->updateTrayIcon();
    w.shell->setTrayTip("Values sent.");
    w.host.runPosted();
    w.shell->command(CommandTransferActive);
    EXPECT_FALSE(w.shell->settingsInUse().transferActive);
    EXPECT_FALSE(w.shell->shellFlags().transferActive.load());
    EXPECT_TRUE(w.host.events.empty());
}

TEST(Shell, TrayTipAloneChangesOnTheIconShown) {
    World w;
    w.addPort(1);
    w.start();
    w.shell->command(ContinueButton);
    EXPECT_EQ(w.host.trayTip, "Program started");
    w.shell->setTrayTip("Values sent.");
    EXPECT_EQ(w.host.trayTip, "Program started");  // not before the user-interface thread runs it
    w.host.runPosted();
    EXPECT_EQ(w.host.trayIcon, IconNoGauge);
    EXPECT_EQ(w.host.trayTip, "Values sent.");

    // Without a gauge the picture's tip does not replace the pair the export loop stored last, so the
    // next icon shows that pair in the language of the moment.
    w.shell->command(CommandTraySettings);
    w.shell->setTrayTips(TextPair{"Werte \xFC" "bertragen.", "Values sent."});
    w.shell->command(ContinueButton);
    EXPECT_EQ(w.host.trayTip, "Values sent.");
    w.shell->command(CommandTraySettings);
    w.shell->command(CommandGerman);
    w.shell->command(ContinueButton);
    EXPECT_EQ(w.host.trayTip, "Werte \xFC" "bertragen.");
}

TEST(Shell, TrayClicks) {
    struct Case {
        const char* settings;
        bool findDeviceGrayed;
        const char* firstItem;
    };
    for (const Case c : {Case{"Language=0\r\n", false, "&Daten \xFC" "bertragen"},
                         Case{"Device=8525\r\n", true, "&Transfer active"}}) {
        SCOPED_TRACE(c.settings);
        World w;
        w.addPort(1);
        w.settingsFile(c.settings);
        w.start();
        w.shell->command(ContinueButton);
        w.shell->trayClicked(TrayButton::Right);
        ASSERT_EQ(w.host.trayMenus.size(), 1u);
        EXPECT_EQ(w.host.trayMenus[0][0].text, c.firstItem);
        EXPECT_TRUE(w.host.trayMenus[0][0].checked);
        EXPECT_EQ(findMenuItem(w.host.trayMenus[0], CommandFindDevice)->grayed, c.findDeviceGrayed);
        EXPECT_TRUE(w.shell->isInTray());
        w.shell->trayClicked(TrayButton::Left);
        EXPECT_FALSE(w.shell->isInTray());
        EXPECT_TRUE(w.host.visible);
        EXPECT_FALSE(w.host.trayIconShown);
        EXPECT_FALSE(w.shell->shellFlags().inTray.load());
    }
}

TEST(Shell, ComingBackShowsTheGaugeName) {
    World w;
    const std::shared_ptr<FakeLine> line = w.addPort(1);
    w.start();
    w.shell->command(ContinueButton);
    w.identifyGauge(line);
    w.host.setControlText(DeviceLineControl, "");
    w.shell->trayClicked(TrayButton::Left);
    EXPECT_EQ(w.host.text(DeviceLineControl), "Pocket-VARNITRON 6121");
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

TEST(Shell, PortListMarksUsbAtStartUpAndAtARescan) {
    World w;
    w.addPort(1, 0);
    w.addPort(3, 51);
    const std::shared_ptr<FakeLine> line7 = w.addPort(7, 4);
    w.settingsFile("DisplayUSBPorts=1\r\nComPort=7\r\n");
    w.start();
    EXPECT_EQ(w.host.lists[PortListControl].items, (std::vector<std::string>{"COM1", "COM3 (USB)", "COM7 (4)"}));
    EXPECT_EQ(w.host.lists[PortListControl].selected, 2);

    w.host.events.clear();
    const int opensBefore = line7->opens;
    w.shell->command(PortListControl, ListGotFocus);
    EXPECT_EQ(w.host.lists[PortListControl].items, (std::vector<std::string>{"COM1", "COM3 (USB)", "COM7"}));
    EXPECT_EQ(w.host.lists[PortListControl].selected, 2);
    EXPECT_EQ(w.gauge().PortNumber(), 7);
    EXPECT_EQ(line7->opens, opensBefore);  // the open port is not probed, nor reopened
    const std::vector<std::string> status = w.statusTexts();
    ASSERT_EQ(status.size(), 29u + 3u + 1u);
    EXPECT_EQ(status[0], "COM1 wird gepr\xFC" "ft");
    EXPECT_EQ(status[1], "COM1 (0) verf\xFC" "gbar");
    EXPECT_EQ(status[4], "COM3 (51) verf\xFC" "gbar");
    EXPECT_EQ(status.back(), "3 Schnittstellen gefunden");
    // Each status text is drawn before the next port is tried.
    for (std::size_t i = 0; i + 1 < w.host.events.size(); ++i)
        if (w.host.events[i].rfind("text 1003=", 0) == 0) {
            EXPECT_EQ(w.host.events[i + 1], "repaint") << w.host.events[i];
        }
}

TEST(Shell, RescanTriesThePortsBelowMaxCom) {
    World w;
    w.addPort(1);
    w.addPort(6);
    w.settingsFile("MaxCom=5\r\n");
    w.start();
    EXPECT_EQ(w.host.lists[PortListControl].items, (std::vector<std::string>{"COM1", "COM6"}));
    w.host.events.clear();
    w.shell->command(PortListControl, ListGotFocus);
    EXPECT_EQ(w.statusTexts(), (std::vector<std::string>{"COM1 wird gepr\xFC" "ft", "COM1 (0) verf\xFC" "gbar",
                                                       "COM2 wird gepr\xFC" "ft", "COM3 wird gepr\xFC" "ft",
                                                       "COM4 wird gepr\xFC" "ft", "1 Schnittstellen gefunden"}));
    EXPECT_EQ(w.host.lists[PortListControl].items, std::vector<std::string>{"COM1"});
}

TEST(Shell, ChoosingAPortMovesTheGauge) {
    struct Case {
        const char* name;
        const char* settings;
        std::vector<int> ports;
        std::vector<std::string> listed;  // empty: keep what the scan listed
        int notification;
        int selectedAtStart;
        int portAfter;
    };
    const Case cases[] = {
        {"port in use is gone", "ComPort=5\r\n", {3, 9}, {}, ListGotFocus, 1, 9},
        {"port in use is gone, other notification", "ComPort=5\r\n", {3, 9}, {}, CommandSelectionChanged, 1, 9},
        {"no port in use", "ComPort=-1\r\n", {2, 4}, {}, CommandSelectionChanged, 0, 2},
        {"three digits read as two", "ComPort=1\r\n", {1, 12}, {"COM123"}, CommandSelectionChanged, 0, 12},
        {"USB item", "ComPort=1\r\n", {1, 12}, {"COM12 (USB)"}, CommandSelectionChanged, 0, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        World w;
        for (const int port : c.ports) w.addPort(port);
        w.settingsFile(c.settings);
        w.start();
        EXPECT_EQ(w.host.lists[PortListControl].selected, c.selectedAtStart);
        if (!c.listed.empty()) w.host.lists[PortListControl] = FakeDialogHost::List{c.listed, 0};
        w.shell->command(PortListControl, c.notification);
        EXPECT_EQ(w.shell->settingsInUse().comPort, c.portAfter);
        EXPECT_EQ(w.gauge().PortNumber(), c.portAfter);
        const std::shared_ptr<FakeLine> line = w.ports.lines[c.portAfter];
        EXPECT_TRUE(line->open);
        EXPECT_EQ(line->signals, (std::vector<LineSignal>{LineSignal::SetDtr, LineSignal::SetRts}));
        EXPECT_EQ(w.host.text(DeviceLineControl), "?");
        EXPECT_FALSE(w.gauge().CommandQueueEmpty());
        // Once there, the next notification changes nothing.
        w.host.setControlText(DeviceLineControl, "");
        w.shell->command(PortListControl, CommandSelectionChanged);
        EXPECT_EQ(w.host.text(DeviceLineControl), "");
    }
}

TEST(Shell, APortThatCannotBeOpenedKeepsTheOldOne) {
    World w;
    w.addPort(1);
    const std::shared_ptr<FakeLine> line4 = w.addPort(4);
    w.start();
    line4->exists = false;  // unplugged after the scan
    w.host.select(PortListControl, 1);
    w.shell->command(PortListControl, CommandSelectionChanged);
    EXPECT_EQ(w.shell->settingsInUse().comPort, 1);
    EXPECT_EQ(w.gauge().PortNumber(), 1);
    EXPECT_EQ(w.host.text(DeviceLineControl), "");
    EXPECT_TRUE(w.gauge().CommandQueueEmpty());
    EXPECT_EQ(w.host.selectedText(PortListControl), "COM4");
}

TEST(Shell, NoPortFoundLeavesTheListEmpty) {
    World w;
    w.start();
    EXPECT_TRUE(w.host.lists[PortListControl].items.empty());
    EXPECT_EQ(w.host.lists[PortListControl].selected, -1);
    w.shell->command(PortListControl, ListGotFocus);
    EXPECT_EQ(w.shell->settingsInUse().comPort, 1);
    EXPECT_EQ(w.statusTexts().back(), "0 Schnittstellen gefunden");
}

TEST(Shell, PortNoticesWhenAskedFor) {
    struct Case {
        const char* settings;
        bool arrival;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {"DisplayPortChanged=1\r\n", true, {"tray remove", "show", "text 1014=?", "notice New Port"}},
        {"DisplayPortChanged=1\r\nLanguage=0\r\n", false,
         {"notice Schnittstelle entfernt", "tray remove", "show", "text 1014=?"}},
        {"", true, {}},
        {"", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings);
        World w;
        w.addPort(1);
        w.settingsFile(c.settings);
        w.start();
        w.shell->command(ContinueButton);
        w.host.events.clear();
        w.shell->portChanged(c.arrival);
        EXPECT_EQ(w.host.events, c.events);
        for (const FakeDialogHost::Notice& notice : w.host.notices) EXPECT_EQ(notice.caption, "Valbrix Info");
        EXPECT_EQ(w.shell->isInTray(), c.events.empty());
    }
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

TEST(Shell, AutoMinimiseHidesThroughTheUserInterfaceThread) {
    World w;
    w.addPort(1);
    w.settingsFile("AutoMinimize=1\r\n");
    w.start();
    for (int i = 0; i < ExportLoop::autoMinimizePass; ++i) w.shell->exportLoop()->pass();
    EXPECT_FALSE(w.shell->isInTray());
    w.host.runPosted();
    EXPECT_TRUE(w.shell->isInTray());
    EXPECT_TRUE(w.host.trayIconShown);
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
    EXPECT_EQ(w.host.events, (std::vector<std::string>{"tray remove", "show", "text 1014=?", "tray remove", "end"}));
    EXPECT_EQ(eventsAtSave, 3u);  // back on screen before saving, icon and dialog gone after
    EXPECT_EQ(line->written, "\x02\x03");
    EXPECT_FALSE(line->open);
    EXPECT_EQ(w.shell->gaugeObject(), nullptr);
    EXPECT_EQ(w.stored("Separator"), "Enter");
    EXPECT_EQ(w.stored("Sequence"), "TAB,DOWN");
}

TEST(Shell, NothingReachesTheDialogAfterTheShutdown) {
    World w;
    w.addPort(1);
    w.start();
    w.shell->setControlText(ValueTextControl, "4,56");
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
    FakePorts ports;
    RecordingKeySink keys;
    const std::shared_ptr<FakeLine> line = ports.add(1);
    line->echo = true;
    line->receive("  1:  4.56 mm\r\n");  // waiting before the threads start: the fake line is not shared

    Shell shell(ShellEnvironment{host, store, where, ports, systemClock(), keys, true});
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

TEST(ShellWithoutTray, TheTrayMenuIsTheWindowsLastMenuAndItsContextMenu) {
    World w;
    w.host.tray = false;
    w.addPort(1);
    w.settingsFile("Language=0\r\nActiveOnStartup=1\r\n");
    w.start();
    ASSERT_EQ(w.host.menuBar.size(), 4u);
    EXPECT_EQ(w.host.menuBar.back().text, "&\xDC" "bertragung");
    EXPECT_EQ(w.host.menuBar.back().submenu, trayMenu(German, true, 6121));
    EXPECT_TRUE(w.checked(CommandTransferActive));

    // Switched from the menu bar, the check mark follows in both menus.
    w.shell->command(CommandTransferActive);
    EXPECT_FALSE(w.shell->shellFlags().transferActive.load());
    EXPECT_FALSE(w.checked(CommandTransferActive));
    w.shell->trayClicked(TrayButton::Right);
    ASSERT_EQ(w.host.trayMenus.size(), 1u);
    EXPECT_FALSE(findMenuItem(w.host.trayMenus[0], CommandTransferActive)->checked);
    w.shell->command(CommandTransferActive);
    EXPECT_TRUE(w.shell->shellFlags().transferActive.load());

    // The menu keeps its place through a language switch.
    w.shell->command(CommandEnglish);
    EXPECT_EQ(w.host.menuBar.back().text, "&Transfer");
    EXPECT_EQ(w.host.menuBar.back().submenu, trayMenu(English, true, 6121));
}

TEST(ShellWithoutTray, TheStatusLineSaysOnceThatTheWindowIsMinimisedInstead) {
    for (const bool tray : {false, true}) {
        SCOPED_TRACE(tray);
        World w;
        w.host.tray = tray;
        w.addPort(1);
        w.settingsFile("Language=1\r\n");
        w.start();
        for (int round = 0; round < 2; ++round) {
            w.shell->activated(true, false);
            EXPECT_TRUE(w.shell->isInTray());
            w.shell->trayClicked(TrayButton::Left);
        }
        const std::vector<std::string> status = w.statusTexts();
        EXPECT_EQ(std::count(status.begin(), status.end(), "No tray on this desktop: the window is minimised instead."),
                  tray ? 0 : 1);
        EXPECT_EQ(w.host.menuBar.size(), tray ? 3u : 4u);
    }
}

TEST(Shell, WithoutAWayOfTypingTheUserIsToldWhatToDo) {
    World w;
    w.addPort(1);
    w.settingsFile("Language=0\r\n");
    w.start();
    w.shell->typingUnavailable(text::noTypingWayland);
    EXPECT_EQ(w.statusTexts().back(), "Keine Tastatureingabe m\xF6glich: Werte werden nur angezeigt.");
    ASSERT_EQ(w.host.notices.size(), 1u);
    EXPECT_EQ(w.host.notices[0].caption, "Valbrix Info");
    EXPECT_EQ(w.host.notices[0].text, text::noTypingWayland.german);
    EXPECT_NE(w.host.notices[0].text.find("70-valbrix-uinput.rules"), std::string::npos);
}

TEST(Shell, APortTheUserMayNotOpenIsMarkedAndNamesTheGroup) {
    struct Case {
        const char* language;
        const char* item;
        const char* status;
        const char* notice;
    };
    const Case cases[] = {
        {"0", "COM5 (kein Zugriff)", "COM5: kein Zugriff (Gruppe dialout)",
         "COM5 kann nicht ge\xF6" "ffnet werden: das Ger\xE4t geh\xF6rt der Gruppe \"dialout\", und Sie sind nicht "
         "Mitglied. Nehmen Sie Ihr Benutzerkonto in die Gruppe auf (sudo usermod -aG dialout $USER) und melden Sie "
         "sich neu an."},
        {"1", "COM5 (no access)", "COM5: no access (group dialout)",
         "COM5 cannot be opened: its device belongs to the group \"dialout\", and you are not a member. Add your user "
         "account to the group (sudo usermod -aG dialout $USER) and log in again."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        // The stored port at start.
        World w;
        w.addPort(1);
        w.addPort(5)->deniedGroup = "dialout";
        w.settingsFile(std::string("Language=") + c.language + "\r\nComPort=5\r\n");
        w.start();
        EXPECT_EQ(w.host.lists[PortListControl].items, (std::vector<std::string>{"COM1", c.item}));
        ASSERT_EQ(w.host.notices.size(), 1u);
        EXPECT_EQ(w.host.notices[0].text, c.notice);
        const std::vector<std::string> status = w.statusTexts();
        EXPECT_NE(std::find(status.begin(), status.end(), c.status), status.end());

        // Chosen from the list after a rescan, with another port in use.
        World chosen;
        chosen.addPort(1);
        chosen.addPort(5)->deniedGroup = "dialout";
        chosen.settingsFile(std::string("Language=") + c.language + "\r\nComPort=1\r\n");
        chosen.start();
        EXPECT_TRUE(chosen.host.notices.empty());
        chosen.shell->command(PortListControl, ListGotFocus);
        EXPECT_EQ(chosen.host.lists[PortListControl].items, (std::vector<std::string>{"COM1", c.item}));
        chosen.host.select(PortListControl, 1);
        chosen.shell->command(PortListControl, CommandSelectionChanged);
        EXPECT_EQ(chosen.gauge().PortNumber(), 1);
        ASSERT_EQ(chosen.host.notices.size(), 1u);
        EXPECT_EQ(chosen.host.notices[0].text, c.notice);
    }
}

TEST(Shell, APortThatIsMerelyMissingSaysNothing) {
    World w;
    w.addPort(1);
    w.settingsFile("ComPort=5\r\n");
    w.start();
    EXPECT_TRUE(w.host.notices.empty());
    EXPECT_EQ(w.host.lists[PortListControl].items, std::vector<std::string>{"COM1"});
}

}  // namespace
}  // namespace valbrix
