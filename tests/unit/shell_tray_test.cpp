// Hiding into the tray and coming back, the tray picture and its tips.
#include "app/shell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "shell_world.h"

namespace valbrix {
namespace {

using namespace testing;

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
    w.shell->setTrayTips(text::valuesSent);
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

// A second start of the program brings this one's window out of the tray.
TEST(Shell, AnotherStartShowsTheWindow) {
    World w;
    w.addPort(1);
    w.start();
    w.shell->command(ContinueButton);
    ASSERT_TRUE(w.shell->isInTray());
    w.shell->anotherStart();
    EXPECT_FALSE(w.shell->isInTray());
    EXPECT_TRUE(w.host.visible);
    EXPECT_FALSE(w.host.trayIconShown);
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

// Keys go to whatever has the keyboard while the sink sends them. This sink lets the user act once in
// the middle of a value, as a click on the tray icon can come while a slow receiver takes its keys.
class SinkWithAUser final : public KeySink {
public:
    UntypedKeys deliver(const KeyEvents& delivered) override {
        if (userActs) std::exchange(userActs, nullptr)();
        events.insert(events.end(), delivered.begin(), delivered.end());
        return {};
    }
    std::function<void()> userActs;
    KeyEvents events;
};

TEST(Shell, TheWindowComesBackOnlyAfterTheValueBeingTyped) {
    const std::pair<const char*, std::function<void(Shell&)>> cases[] = {
        {"tray click", [](Shell& shell) { shell.trayClicked(TrayButton::Left); }},
        {"tray menu's settings item", [](Shell& shell) { shell.command(CommandTraySettings); }},
    };
    for (const auto& [what, act] : cases) {
        SCOPED_TRACE(what);
        World w;
        SinkWithAUser sink;
        w.keySink = &sink;
        const std::shared_ptr<FakeLine> line = w.addPort(1);
        w.start();
        w.shell->command(ContinueButton);
        bool shownMidValue = true;
        sink.userActs = [&, &act = act] {
            act(*w.shell);
            w.host.runPosted();
            shownMidValue = w.host.visible;
        };
        line->receive("  7:  4.56 mm\r\n  8:  4.57 mm\r\n");
        w.gauge().AcquisitionPass();
        w.shell->exportLoop()->pass();
        EXPECT_FALSE(shownMidValue) << "the rest of the value went into the dialog";
        w.host.runPosted();
        EXPECT_TRUE(w.host.visible);
        EXPECT_FALSE(w.shell->isInTray());
        // The value begun is out whole; the next one is only shown.
        EXPECT_EQ(describeKeys(sink.events), "4,56 mm<ENTER>");
        EXPECT_EQ(w.host.text(ValueTextControl), "4,57");
    }
}

// A box of the program's own takes the keyboard: values wait while it is open, and it says why.
TEST(Shell, ValuesWaitWhileABoxIsOpen) {
    World w;
    const std::shared_ptr<FakeLine> line = w.addPort(1);
    w.settingsFile("Language=1\r\n");
    w.start();
    w.shell->command(ContinueButton);
    w.host.inNextBox = [&] {
        line->receive("  7:  4.56 mm\r\n");
        w.gauge().AcquisitionPass();
        w.shell->exportLoop()->pass();
        w.host.runPosted();
        EXPECT_TRUE(w.keys.events.empty());
    };
    w.shell->command(CommandAbout);
    EXPECT_EQ(w.host.text(StatusLine), "A Valbrix window has the keyboard: readings wait.");
    w.shell->exportLoop()->pass();
    w.host.runPosted();
    EXPECT_EQ(describeKeys(w.keys.events), "4,56 mm<ENTER>");
    EXPECT_EQ(w.host.text(StatusLine), "Program active.");
}

// The status line says why values wait, in the interface language, and that they are typed again.
TEST(Shell, TheStatusLineSaysWhyValuesWait) {
    struct Case {
        const char* settings;
        DeskState desk;
        const char* status;
    };
    const Case cases[] = {
        {"Language=1\r\n", {false, true, false, 0, false}, "The screen is locked: readings wait."},
        {"Language=0\r\n", {false, true, false, 0, false}, "Der Bildschirm ist gesperrt: Werte warten."},
        {"Language=1\r\n", {false, false, true, 0, false}, "The session is not active: readings wait."},
        {"Language=1\r\n", {false, false, false, HeldCtrl, false},
         "Ctrl, Alt, AltGr, Shift or the Windows key is held: readings wait."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status);
        World w;
        const std::shared_ptr<FakeLine> line = w.addPort(1);
        w.settingsFile(c.settings);
        w.start();
        w.shell->command(ContinueButton);
        w.desk.set(c.desk);
        line->receive("  7:  4.56 mm\r\n");
        w.gauge().AcquisitionPass();
        w.shell->exportLoop()->pass();
        w.host.runPosted();
        EXPECT_EQ(w.host.text(StatusLine), c.status);
        EXPECT_EQ(w.host.trayTip, c.status);
        EXPECT_TRUE(w.keys.events.empty());
    }
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

}  // namespace
}  // namespace valbrix
