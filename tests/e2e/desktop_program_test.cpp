// The desktop program as a user meets it: the real valbrix binary on a virtual X server with a tray,
// a simulated gauge on a pseudo-terminal mapped as COM5, and a window of the test's own that has the
// focus, as a spreadsheet would. The test clicks the tray icon, opens the menus and picks from the
// list with real pointer and key events, and reads the window's texts from the program's --trace.
//
// VALBRIX_EXECUTABLE names the program; pictures of its window go to VALBRIX_ARTEFACTS when set.
#include <gtest/gtest.h>

#include <X11/keysym.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "child_process.h"
#include "config_home.h"
#include "gaugesim/simulator.h"
#include "x11_receiver.h"
#include "x11_user.h"

namespace valbrix {
namespace {

using testing::ChildProcess;
using testing::environment;
using testing::patienceMs;

std::string fileText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class DesktopProgram : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(environment("VALBRIX_EXECUTABLE").empty()) << "VALBRIX_EXECUTABLE names the program";
        ASSERT_TRUE(user.ready()) << "no X display: run under Xvfb";
        // µ is AltGr+M on the German map, which is what the program's users have.
        ASSERT_EQ(std::system("setxkbmap de"), 0);
        std::filesystem::create_directories(settingsFolder());
        // COM5, German, transfer on, ENTER after each value, a decimal comma.
        std::ofstream(settingsFolder() / "Valbrix.ini", std::ios::binary)
            << "[Settings]\r\nComPort=5\r\nLanguage=0\r\nActiveOnStartup=1\r\nSeparator=Enter\r\n"
               "DecimalSeparator=,\r\nFormat=2,7 \xB5m/mil/Tesla\r\n";
        ASSERT_TRUE(gauge.start(config.portLink(5)));

        tray = std::make_unique<ChildProcess>(std::vector<std::string>{
            "trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "100",
            "--heighttype", "pixel", "--height", "24"});
        ASSERT_TRUE(tray->started()) << "trayer is missing: scripts/deps.sh x11";
        ASSERT_TRUE(testing::pollFor(5000, [this] { return user.trayAvailable(); })) << "trayer did not take the tray";
        receiver = std::make_unique<testing::X11Receiver>();
        ASSERT_TRUE(receiver->ready());
    }
    void TearDown() override {
        std::system("setxkbmap us");
        if (!HasFailure() || !program) return;
        program->waitForLine("\n", 500);  // reads what is left: no line contains a line end
        std::string trace;
        for (const std::string& line : program->lines) trace += line + "\n";
        ADD_FAILURE() << "what the program showed:\n" << trace;
    }

    std::filesystem::path settingsFolder() const { return config.root + "/Oden_Malvert/Valbrix"; }

    void startProgram() {
        program = std::make_unique<ChildProcess>(std::vector<std::string>{environment("VALBRIX_EXECUTABLE"), "--trace"});
        ASSERT_TRUE(program->started());
        dialog = user.waitFor("Valbrix", user.root(), patienceMs);
        ASSERT_NE(dialog, 0u) << "no window named Valbrix";
    }

    // The trace line that shows `part`, failing the test when it does not come.
    void expectShown(const std::string& part) {
        EXPECT_TRUE(program->waitForLine(part, patienceMs)) << "never shown: " << part;
    }

    // The user goes back to the spreadsheet: the dialog loses the activation and goes into the tray.
    void backToReceiver() {
        receiver->focus();
        expectShown("window hidden");
    }

    Window trayIcon() { return user.findOf("valbrix", user.find("panel", user.root())); }

    void picture(const std::string& name) {
        const std::string folder = environment("VALBRIX_ARTEFACTS");
        if (folder.empty() || std::system("command -v xwd >/dev/null && command -v pnmtopng >/dev/null") != 0) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the last paint
        const std::string command = "xwd -silent -id " + std::to_string(dialog) + " | xwdtopnm 2>/dev/null | pnmtopng >" +
                                    folder + "/" + name;
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
    }

    testing::ConfigHome config;
    testing::X11User user;
    gaugesim::Simulator gauge;
    std::unique_ptr<ChildProcess> tray;
    std::unique_ptr<testing::X11Receiver> receiver;
    std::unique_ptr<ChildProcess> program;
    Window dialog = 0;
};

TEST_F(DesktopProgram, TypesReadingsAndFollowsTheChoicesMadeInItsWindow) {
    startProgram();
    expectShown("control 1014: Pocket-VARNITRON 6121");
    picture("dialog-german.png");
    // A new window gets the focus from the window manager; this server has none.
    user.focus(dialog);
    backToReceiver();

    gauge.reading(1, "4.56", "mm");
    gauge.reading(2, "-0,75", "MILS");
    gauge.reading(3, "123.4", "um");
    EXPECT_EQ(receiver->collectUntil("123 \xB5m<ENTER>", patienceMs), "4,56 mm<ENTER>-0,75 mil<ENTER>123 \xB5m<ENTER>");
    gauge.memoryDump(6, 3, "um");
    EXPECT_EQ(receiver->collectUntil("10,5 \xB5m<ENTER>", patienceMs),
              "10,0 \xB5m<TAB>10,1 \xB5m<TAB>10,2 \xB5m<ENTER>10,3 \xB5m<TAB>10,4 \xB5m<TAB>10,5 \xB5m<ENTER>");
    expectShown("tray icon 401: Werte \xC3\xBC" "bertragen.");

    // The dialog back from the tray: English from the settings menu, Tab from the control key list.
    user.click(trayIcon(), 1);
    expectShown("window shown");
    ASSERT_TRUE(user.waitForFocus(dialog, patienceMs));
    // Typed ahead without waiting for the menus, as a practised hand does.
    user.press({XK_Alt_L, XK_e});
    user.press({XK_Right});
    user.press({XK_e});
    expectShown("control 1012: Continue");
    user.press({XK_t});
    picture("dialog-english.png");
    backToReceiver();

    gauge.reading(4, "5.00", "mm");
    EXPECT_EQ(receiver->collectUntil("<TAB>", patienceMs), "5,00 mm<TAB>");
    expectShown("tray icon 401: Values sent.");

    // Leave through the tray menu, whose last item is "Leave Program".
    user.click(trayIcon(), 3);
    expectShown("tray menu shown");
    const Window menu = user.waitForMenu("valbrix", patienceMs);
    ASSERT_NE(menu, 0u);
    user.click(menu, 1, 12);
    const std::optional<int> status = program->waitForExit(patienceMs);
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status;
    const std::string saved = fileText(settingsFolder() / "Valbrix.ini");
    for (const char* line : {"Language=1\r\n", "Separator=Tab\r\n", "DecimalSeparator=,\r\n", "ComPort=5\r\n"})
        EXPECT_NE(saved.find(line), std::string::npos) << line << " not in\n" << saved;
}

}  // namespace
}  // namespace valbrix
