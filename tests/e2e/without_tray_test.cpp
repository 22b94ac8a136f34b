// The desktop program on a desktop without a tray (a virtual X server with no tray host), as stock
// GNOME is: "Transfer active" is reached from the window's context menu and from its menu bar, and
// switches the typing off and on. The readings come from a simulated gauge on COM5 and are typed into
// a window of the test's own.
//
// VALBRIX_EXECUTABLE names the program.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "child_process.h"
#include "config_home.h"
#include "gaugesim/simulator.h"
#include "x11_receiver.h"
#include "x11_user.h"

namespace valbrix {
namespace {

using testing::ChildProcess;
using testing::patienceMs;

TEST(WithoutTray, TransferActiveIsSwitchedFromTheContextMenuAndTheMenuBar) {
    const char* executable = std::getenv("VALBRIX_EXECUTABLE");
    ASSERT_NE(executable, nullptr) << "VALBRIX_EXECUTABLE names the program";
    testing::X11User user;
    ASSERT_TRUE(user.ready()) << "no X display: run under Xvfb";
    ASSERT_FALSE(user.trayAvailable());
    testing::ConfigHome config;
    const std::filesystem::path folder = config.root + "/Oden_Malvert/Valbrix";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "Valbrix.ini", std::ios::binary)
        << "[Settings]\r\nComPort=5\r\nLanguage=1\r\nActiveOnStartup=1\r\nSeparator=Enter\r\nDecimalSeparator=.\r\n";
    gaugesim::Simulator gauge;
    ASSERT_TRUE(gauge.start(config.portLink(5)));
    testing::X11Receiver receiver;
    ASSERT_TRUE(receiver.ready());

    ChildProcess program({executable, "--trace"});
    const auto expectShown = [&program](const std::string& part) {
        EXPECT_TRUE(program.waitForLine(part, patienceMs)) << "never shown: " << part;
    };
    const Window dialog = user.waitFor("Valbrix", user.root(), patienceMs);
    ASSERT_NE(dialog, 0u);
    expectShown("control 1014: Pocket-VARNITRON 6121");
    user.focus(dialog);
    ASSERT_TRUE(user.waitForFocus(dialog, patienceMs));
    receiver.focus();
    expectShown("window hidden");
    expectShown("control 1003: No tray on this desktop: the window is minimised instead.");

    // A reading printed while a follow-up command of the identification waits for its echo is lost.
    ASSERT_TRUE(gauge.waitForCommand("G150000", 0, patienceMs));
    ASSERT_TRUE(gauge.waitIdle(patienceMs));
    gauge.reading(1, "4.56", "mm");
    EXPECT_EQ(receiver.collectUntil("<ENTER>", patienceMs), "4.56 mm<ENTER>");

    // Off from the context menu: a right click into the window, then the item's mnemonic.
    user.click(dialog, 3);
    expectShown("tray menu shown");
    ASSERT_NE(user.waitForMenu("valbrix", patienceMs), 0u);
    user.press({XK_t});
    expectShown("tray icon 402");
    receiver.focus();
    gauge.reading(2, "1.23", "mm");
    expectShown("control 1015: 1.23");
    EXPECT_EQ(receiver.collect(1000), "");

    // On again from the menu bar's last menu, "Transfer".
    user.focus(dialog);
    ASSERT_TRUE(user.waitForFocus(dialog, patienceMs));
    user.press({XK_Alt_L, XK_t});
    ASSERT_NE(user.waitForMenu("valbrix", patienceMs), 0u);
    user.press({XK_t});
    expectShown("tray icon 401");
    receiver.focus();
    gauge.reading(3, "7.89", "mm");
    EXPECT_EQ(receiver.collectUntil("<ENTER>", patienceMs), "7.89 mm<ENTER>");

    program.signal(SIGTERM);
    const std::optional<int> status = program.waitForExit(patienceMs);
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status;
    if (HasFailure()) {
        std::string trace;
        for (const std::string& line : program.lines) trace += line + "\n";
        ADD_FAILURE() << "what the program showed:\n" << trace;
    }
}

}  // namespace
}  // namespace valbrix
