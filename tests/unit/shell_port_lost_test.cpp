// The gauge's adapter pulled out and plugged back in, and values coming faster than they are typed,
// as the user sees them: the status line, the tray and the gauge asked again.
#include "app/shell.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "shell_world.h"

namespace valbrix {
namespace {

using namespace testing;

// The acquisition and export passes over so many milliseconds, and what they hand to the dialog.
void run(World& w, int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += cVarniTiny::passMs) {
        w.gauge().AcquisitionPass();
        w.shell->exportLoop()->pass();
        w.host.runPosted();
    }
}

TEST(ShellPortLost, ThePulledAdapterIsToldAndTheGaugeAskedAgainOnceItIsBack) {
    struct Case {
        const char* language;
        const char* lost;
        const char* tip;
        const char* back;
    };
    const Case cases[] = {
        {"0", "COM5 getrennt. Warte auf die Schnittstelle.", "Schnittstelle getrennt.", "COM5 wieder verbunden."},
        {"1", "COM5 disconnected. Waiting for the port.", "Port disconnected.", "COM5 connected again."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        World w;
        const std::shared_ptr<FakeLine> line = w.addPort(5);
        w.settingsFile(std::string("ComPort=5\r\nLanguage=") + c.language + "\r\n");
        w.start();
        w.identifyGauge(line);
        w.shell->command(ContinueButton);
        run(w, 100);
        ASSERT_EQ(w.host.trayIcon, IconActiveIdentified);

        line->pull();
        run(w, 100);
        EXPECT_EQ(w.statusTexts().back(), c.lost);
        EXPECT_EQ(w.host.trayIcon, IconNoGauge);
        EXPECT_EQ(w.host.trayTip, c.tip);
        // Back on screen and hidden again while the port is gone: the fresh icon says so too.
        w.shell->trayClicked(TrayButton::Left);
        w.shell->command(ContinueButton);
        EXPECT_EQ(w.host.trayIcon, IconNoGauge);
        EXPECT_EQ(w.host.trayTip, c.tip);

        line->plugBackIn();
        line->written.clear();
        run(w, 600);
        EXPECT_EQ(w.statusTexts().back(), c.back);
        EXPECT_EQ(line->written, "\x02?G00\x03");
        line->receive("G6121\r\n");
        run(w, 100);
        EXPECT_EQ(w.host.trayIcon, IconActiveIdentified);
        EXPECT_EQ(w.host.text(DeviceLineControl), "Pocket-VARNITRON 6121");
    }
}

TEST(ShellPortLost, AGaugeThatOnlyPrintsIsNotAskedWhenThePortIsBack) {
    World w;
    const std::shared_ptr<FakeLine> line = w.addPort(5);
    w.settingsFile("ComPort=5\r\nDevice=8525\r\n");
    w.start();
    line->pull();
    run(w, 100);
    line->plugBackIn();
    run(w, 1000);
    EXPECT_EQ(w.statusTexts().back(), "COM5 connected again.");
    EXPECT_EQ(line->written, "");
}

TEST(ShellPortLost, ValuesDroppedForLackOfRoomAreCountedInTheStatusLine) {
    World w;
    const std::shared_ptr<FakeLine> line = w.addPort(5);
    w.settingsFile("ComPort=5\r\nLanguage=1\r\n");
    w.start();
    std::string dump;
    for (int i = 1; i <= MeasuredValueRing::lastIndex + 5; ++i) dump += "  " + std::to_string(i) + ":  1.5 mm\r\n";
    line->receive(dump);
    w.gauge().AcquisitionPass();
    w.shell->exportLoop()->pass();
    w.host.runPosted();
    EXPECT_EQ(w.statusTexts().back(), "5 values dropped: typing could not keep up.");
}

}  // namespace
}  // namespace valbrix
