// The system asks the program to end while one of its boxes is open, or before its window is set up:
// the boxes close, and the program ends as Exit ends it, settings saved.
#include "app/shell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shell_world.h"

namespace valbrix {
namespace {

using namespace testing;

// The end in the order of Exit: back on screen, saved, port closed, tray icon gone, loop ended.
void expectEndedInOrder(World& w, const std::shared_ptr<FakeLine>& line) {
    EXPECT_TRUE(w.host.ended);
    EXPECT_EQ(w.shell->gaugeObject(), nullptr);
    EXPECT_FALSE(line->open);
    const std::size_t closed = w.eventIndex("close boxes");
    const auto events = w.host.events.begin();
    const std::size_t shown = static_cast<std::size_t>(std::find(events + closed, w.host.events.end(), "show") - events);
    const std::size_t end = w.eventIndex("end");
    EXPECT_LT(closed, shown);
    EXPECT_LT(shown, end);
    EXPECT_EQ(end + 1, w.host.events.size());
    EXPECT_NE(w.stored("ComPort"), "<none>");
    EXPECT_EQ(w.stored("Language"), "0");
}

TEST(ShellEnding, TheSystemEndsTheProgramWhileABoxIsOpen) {
    struct Case {
        const char* box;
        const char* settings;
        std::function<void(World&)> open;
    };
    const Case cases[] = {
        {"the exit question", "AskForClose=1\r\n", [](World& w) { w.shell->command(ExitButton); }},
        // The notice comes once the report has been answered, at the next turn of the loop.
        {"the port released notice", "DisplayPortChanged=1\r\n",
         [](World& w) {
             w.shell->portChanged(false);
             w.host.runQueued();
         }},
        {"the port arrival notice", "DisplayPortChanged=1\r\n",
         [](World& w) {
             w.shell->portChanged(true);
             w.host.runQueued();
         }},
        {"the About box", "", [](World& w) { w.shell->command(CommandAbout); }},
        {"the set-up error of a port change", "", [](World& w) {
             w.host.select(PortListControl, 1);
             w.shell->command(PortListControl, CommandSelectionChanged);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        World w;
        const std::shared_ptr<FakeLine> line = w.addPort(1);
        const std::shared_ptr<FakeLine> broken = w.addPort(2);
        broken->failTimeouts = true;
        w.settingsFile(std::string("Language=0\r\n") + c.settings);
        w.start();
        w.host.events.clear();
        w.host.inNextBox = [&w] { w.shell->terminate(); };
        c.open(w);
        EXPECT_EQ(w.host.boxesClosed, 1);
        EXPECT_FALSE(w.host.ended);  // not inside the box: its caller goes on first
        w.host.runPosted();
        expectEndedInOrder(w, line);
    }
}

// The first of the two set-up boxes is open when the end is asked for: the second never comes, and
// the end follows once the loop runs.
TEST(ShellEnding, TheSystemEndsTheProgramDuringTheSetUpErrorsAtStartUp) {
    World w;
    const std::shared_ptr<FakeLine> line = w.addPort(1);
    line->failTimeouts = true;
    line->failLineSettings = true;
    w.settingsFile("Language=0\r\n");
    w.host.inNextBox = [&w] { w.shell->terminate(); };
    w.startScanning();
    ASSERT_EQ(w.host.systemErrors.size(), 1u);
    EXPECT_EQ(w.host.systemErrors[0].caption, "Fehler #0001 beim Initialisieren von COM");
    EXPECT_EQ(w.host.systemErrors[0].text, "The device does not recognize the command.");
    EXPECT_FALSE(w.host.ended);
    w.host.runPosted();
    expectEndedInOrder(w, line);
}

TEST(ShellEnding, SetUpErrorsAreShownWithThePortAlreadyInUse) {
    World w;
    const std::shared_ptr<FakeLine> line = w.addPort(1);
    line->failLineSettings = true;
    w.start();
    ASSERT_EQ(w.host.systemErrors.size(), 1u);
    EXPECT_EQ(w.host.systemErrors[0].caption, "Fehler #0002 beim Initialisieren von COM");
    EXPECT_TRUE(line->open);
    EXPECT_EQ(w.statusTexts().back(), "Program active.");
}

TEST(ShellEnding, AnEndAskedForBeforeTheWindowIsSetUpFollowsTheSetUp) {
    World w;
    const std::shared_ptr<FakeLine> line = w.addPort(1);
    w.settingsFile("Language=0\r\n");
    w.shell = std::make_unique<Shell>(ShellEnvironment{w.host, w.store, w.where, w.ports, w.clock, w.keys, w.desk,
                                                       false, w.journalFiles, w.wallClock});
    w.shell->terminate();
    w.shell->initMainDialog();
    EXPECT_FALSE(w.host.ended);
    w.host.runPosted();
    EXPECT_TRUE(w.host.ended);
    EXPECT_FALSE(line->open);
    EXPECT_EQ(w.stored("Language"), "0");
}

// Exit was chosen and the settings could not be saved: the end asked for while that is told does not
// run a second shutdown.
TEST(ShellEnding, AnEndAskedForDuringTheShutdownEndsItOnce) {
    World w;
    const std::shared_ptr<FakeLine> line = w.addPort(1);
    w.start();
    w.store.refuseWrites = true;
    w.host.inNextBox = [&w] { w.shell->terminate(); };
    w.shell->command(ExitButton);
    w.host.runPosted();
    EXPECT_TRUE(w.host.ended);
    EXPECT_EQ(std::count(w.host.events.begin(), w.host.events.end(), "end"), 1);
    EXPECT_FALSE(line->open);
}

// Once the end is asked for, no box holds it up and no question is answered Yes.
TEST(ShellEnding, NoBoxOpensOnceTheEndIsAskedFor) {
    World w;
    w.addPort(1);
    w.settingsFile("AskForClose=1\r\nDisplayPortChanged=1\r\n");
    w.start();
    w.host.inNextBox = [&w] { w.shell->terminate(); };
    w.shell->command(CommandAbout);
    w.shell->portChanged(false);
    w.shell->command(ExitButton);
    EXPECT_EQ(w.host.aboutBoxes, 1);
    EXPECT_TRUE(w.host.notices.empty());
    EXPECT_TRUE(w.host.questions.empty());
    w.host.runPosted();
    EXPECT_TRUE(w.host.ended);
}

}  // namespace
}  // namespace valbrix
