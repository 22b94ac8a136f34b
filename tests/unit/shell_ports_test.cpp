// The port list: the scans, choosing a port, and the notices of ports coming and going.
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
    w.focusPortList();
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
        if (w.host.events[i].rfind("text StatusLine=", 0) == 0) {
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
    w.focusPortList();
    EXPECT_EQ(w.statusTexts(), (std::vector<std::string>{"COM1 wird gepr\xFC" "ft", "COM1 (0) verf\xFC" "gbar",
                                                       "COM2 wird gepr\xFC" "ft", "COM3 wird gepr\xFC" "ft",
                                                       "COM4 wird gepr\xFC" "ft", "1 Schnittstellen gefunden"}));
    EXPECT_EQ(w.host.lists[PortListControl].items, std::vector<std::string>{"COM1"});
}

TEST(Shell, TheStartUpScanTriesCom1ToCom31WhateverMaxCom) {
    for (const char* maxCom : {"MaxCom=5\r\n", "MaxCom=99\r\n"}) {
        SCOPED_TRACE(maxCom);
        World w;
        for (const int port : {1, 30, 31, 32}) w.addPort(port);
        w.settingsFile(maxCom);
        w.start();
        EXPECT_EQ(w.host.lists[PortListControl].items, (std::vector<std::string>{"COM1", "COM30", "COM31"}));
    }
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
        w.finishPortScan();
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
    w.focusPortList();
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
        {"DisplayPortChanged=1\r\n", true, {"tray remove", "show", "text DeviceLine=?", "notice New Port"}},
        {"DisplayPortChanged=1\r\nLanguage=0\r\n", false,
         {"notice Schnittstelle entfernt", "tray remove", "show", "text DeviceLine=?"}},
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
        // The system's report is answered before anything is shown.
        EXPECT_TRUE(w.host.events.empty());
        w.host.runPosted();
        EXPECT_EQ(w.host.events, c.events);
        for (const FakeDialogHost::Notice& notice : w.host.notices) EXPECT_EQ(notice.caption, "Valbrix Info");
        EXPECT_EQ(w.shell->isInTray(), c.events.empty());
    }
}

// One box at a time; what changes while it is open is told by one more box, for the last change. The
// box takes the activation, and the window stays on screen all the same.
TEST(Shell, PortNoticesComeOneAtATimeAndTellTheLastChange) {
    struct Case {
        const char* what;
        std::vector<bool> reported;   // arrival (true) or removal, before the loop runs
        std::vector<bool> meanwhile;  // while the first box is open
        std::vector<std::string> notices;
    };
    const Case cases[] = {
        {"an arrival", {true}, {}, {"New Port"}},
        {"reports before the box fold into the last", {true, false}, {}, {"Port released"}},
        {"more arrivals while the box is open", {true}, {true, true}, {"New Port"}},
        {"removed while the arrival box is open", {true}, {false}, {"New Port", "Port released"}},
        {"removed and back while the box is open", {true}, {false, true}, {"New Port"}},
        {"back while the removal box is open", {false}, {true}, {"Port released", "New Port"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        World w;
        w.addPort(1);
        w.settingsFile("DisplayPortChanged=1\r\n");
        w.start();
        w.shell->command(ContinueButton);
        for (const bool arrival : c.reported) w.shell->portChanged(arrival);
        w.host.inNextBox = [&] {
            for (const bool arrival : c.meanwhile) w.shell->portChanged(arrival);
            w.shell->activated(true, false);
        };
        w.host.runPosted();
        std::vector<std::string> texts;
        for (const FakeDialogHost::Notice& notice : w.host.notices) texts.push_back(notice.text);
        EXPECT_EQ(texts, c.notices);
        EXPECT_FALSE(w.shell->isInTray());
        EXPECT_TRUE(w.host.visible);
        // Done with: the next report gets its box.
        w.shell->portChanged(true);
        w.host.runPosted();
        EXPECT_EQ(w.host.notices.size(), c.notices.size() + 1);
    }
}

// A port whose open keeps its caller waiting, as a Bluetooth port does for seconds before it fails:
// the window is set up and answers meanwhile, and the list fills once the probe is over. The gauge
// object opens the stored port while the start-up scan waits, and the list still has it, selected.
TEST(Shell, APortThatKeepsItsOpenerWaitingHoldsUpOnlyTheScan) {
    struct Case {
        const char* scan;
        const char* statusWhileHeld;
        std::vector<std::string> listed;
        const char* statusAfter;
    };
    const Case cases[] = {
        {"start-up", "Searching for ports \x85", {"COM1", "COM3 (USB)", "COM7 (4)", "COM9"}, "Program active."},
        {"rescan", "COM3 wird gepr\xFC" "ft", {"COM1", "COM3 (USB)", "COM7", "COM9"}, "4 Schnittstellen gefunden"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scan);
        const bool rescan = std::string(c.scan) == "rescan";
        World w;
        w.addPort(1);
        w.addPort(3, 51);
        const std::shared_ptr<FakeLine> line7 = w.addPort(7, 4);
        w.addPort(9);
        w.settingsFile("DisplayUSBPorts=1\r\nComPort=7\r\nMaxCom=12\r\n");
        const std::shared_ptr<OpenGate> gate = w.scanHeldAt(3, rescan);
        w.host.events.clear();
        gate->waitUntilHeld();
        w.host.runPosted();
        EXPECT_TRUE(w.shell->portScanRunning());
        EXPECT_EQ(w.host.text(StatusLine), c.statusWhileHeld);
        EXPECT_EQ(std::count(w.host.events.begin(), w.host.events.end(), "list PortList"), 0);
        EXPECT_TRUE(line7->open);
        // The user-interface thread is free for what the user does.
        w.shell->command(CommandTransferActive);
        EXPECT_FALSE(w.shell->settingsInUse().transferActive);

        gate->release();
        w.finishPortScan();
        EXPECT_EQ(w.host.lists[PortListControl].items, c.listed);
        EXPECT_EQ(w.host.lists[PortListControl].selected, 2);
        EXPECT_EQ(w.host.text(StatusLine), c.statusAfter);
        EXPECT_EQ(w.gauge().PortNumber(), 7);
        EXPECT_TRUE(line7->open);
        EXPECT_EQ(gate->opensArrived(), 1);
    }
}

// What the user does with the port list while a rescan waits for a port.
TEST(Shell, ThePortListWhileAScanRuns) {
    struct Case {
        const char* what;
        int notification;
        int pick;  // the item the user selects meanwhile, -1: none
        int portAfter;
        int selectedAfter;
    };
    const Case cases[] = {
        // The scan under way answers the focus: no second scan.
        {"focus again", ListGotFocus, -1, 7, 2},
        // A probe may hold the port picked: it is taken once the scan is done.
        {"port picked", CommandSelectionChanged, 0, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        World w;
        w.addPort(1);
        const std::shared_ptr<FakeLine> line3 = w.addPort(3);
        w.addPort(7);
        w.settingsFile("ComPort=7\r\nMaxCom=9\r\n");
        w.start();
        const std::shared_ptr<OpenGate> gate = w.ports.hold(3);
        w.shell->command(PortListControl, ListGotFocus);
        gate->waitUntilHeld();
        w.host.runPosted();
        w.host.events.clear();
        if (c.pick >= 0) w.host.select(PortListControl, c.pick);
        w.shell->command(PortListControl, c.notification);
        EXPECT_EQ(w.gauge().PortNumber(), 7);
        gate->release();
        w.finishPortScan();
        EXPECT_EQ(w.gauge().PortNumber(), c.portAfter);
        EXPECT_EQ(w.shell->settingsInUse().comPort, c.portAfter);
        EXPECT_EQ(w.host.lists[PortListControl].items, (std::vector<std::string>{"COM1", "COM3", "COM7"}));
        EXPECT_EQ(w.host.lists[PortListControl].selected, c.selectedAfter);
        EXPECT_EQ(gate->opensArrived(), 1);
        EXPECT_EQ(std::count(w.host.events.begin(), w.host.events.end(), "text StatusLine=COM1 wird gepr\xFC" "ft"), 0);
        EXPECT_FALSE(line3->open);
    }
}

// The end of the program while a probe waits: the settings are saved first, the scan goes no further
// than the port it waits for, and nothing it found is shown once the end has begun.
TEST(Shell, TheEndWhileAProbeWaitsStopsTheScan) {
    for (const bool rescan : {false, true}) {
        SCOPED_TRACE(rescan ? "rescan" : "start-up");
        World w;
        w.addPort(1);
        w.addPort(3);
        const std::shared_ptr<FakeLine> line5 = w.addPort(5);
        w.settingsFile("Language=0\r\n");
        const std::shared_ptr<OpenGate> gate = w.scanHeldAt(3, rescan);
        gate->waitUntilHeld();
        const int triesBefore = line5->tries;
        w.host.runPosted();
        w.store.onPut = [&] { gate->release(); };
        w.shell->terminate();
        EXPECT_TRUE(w.host.ended);
        EXPECT_EQ(w.stored("Language"), "0");
        EXPECT_EQ(line5->tries, triesBefore);
        const std::vector<std::string> eventsAtEnd = w.host.events;
        w.host.runPosted();
        EXPECT_EQ(w.host.events, eventsAtEnd);
        w.shell.reset();
    }
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
        chosen.focusPortList();
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
