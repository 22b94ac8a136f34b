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
    w.shell->command(PortListControl, ListGotFocus);
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
        EXPECT_EQ(w.host.events, c.events);
        for (const FakeDialogHost::Notice& notice : w.host.notices) EXPECT_EQ(notice.caption, "Valbrix Info");
        EXPECT_EQ(w.shell->isInTray(), c.events.empty());
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
