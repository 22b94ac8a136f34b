// The desktop program typing on the desktops its users have: the real valbrix in a headless sway as
// a native Wayland program (typing through the compositor's virtual keyboard), and the same on a
// virtual X server (typing through XTest). A simulated gauge sits on a pseudo-terminal mapped as COM5
// and a native window of the session, the receiver, has the focus and echoes what arrives. Each runs
// with the US and the German layout, whose keys decide what arrives: µ is AltGr+M on the German one.
//
// VALBRIX_EXECUTABLE and VALBRIX_RECEIVER name the programs. VALBRIX_LATENCY_READINGS=N adds N single
// readings and prints the typing latency: from the last byte of a reading leaving the gauge to its
// whole line arriving in the receiver.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "config_home.h"
#include "desktop_session.h"
#include "gaugesim/simulator.h"

namespace valbrix {
namespace {

using testing::ChildProcess;
using testing::environment;
using testing::patienceMs;

enum class Desktop { Wayland, X11 };

struct Reading {
    const char* value;
    const char* unit;
    const char* arrives;  // UTF-8, as the receiver echoes it
};

struct Layout {
    const char* name;
    std::vector<Reading> readings;
    const char* dumpUnit;
    std::vector<std::string> dumpRows;
};

const Layout layouts[] = {
    {"us",
     {{"4.56", "mm", "4,56 mm<ENTER>"}, {"-0,75", "MILS", "-0,75 mil<ENTER>"}, {"12.5", "%", "12,5 %<ENTER>"},
      {"2.22", "mm", "2,22 mm<ENTER>"}},
     "mm",
     {"10,00 mm<TAB>10,10 mm<TAB>10,20 mm<ENTER>", "10,30 mm<TAB>10,40 mm<TAB>10,50 mm<ENTER>"}},
    {"de",
     {{"4.56", "mm", "4,56 mm<ENTER>"}, {"-0,75", "MILS", "-0,75 mil<ENTER>"}, {"123.4", "um", "123 \xC2\xB5m<ENTER>"},
      {"33.0", "MILS", "33,0 mil<ENTER>"}},
     "um",
     {"10,0 \xC2\xB5m<TAB>10,1 \xC2\xB5m<TAB>10,2 \xC2\xB5m<ENTER>",
      "10,3 \xC2\xB5m<TAB>10,4 \xC2\xB5m<TAB>10,5 \xC2\xB5m<ENTER>"}},
};

class SessionTyping : public ::testing::TestWithParam<std::tuple<Desktop, const Layout*>> {
protected:
    void SetUp() override {
        ASSERT_FALSE(environment("VALBRIX_EXECUTABLE").empty()) << "VALBRIX_EXECUTABLE names the program";
        ASSERT_FALSE(environment("VALBRIX_RECEIVER").empty()) << "VALBRIX_RECEIVER names the receiving window";
        const std::string layout = std::get<1>(GetParam())->name;
        if (wayland()) session = std::make_unique<testing::SwaySession>(layout);
        else session = std::make_unique<testing::XvfbSession>(layout);
        ASSERT_TRUE(session->ready()) << "the desktop session did not start: scripts/deps.sh wayland x11";

        // COM5, German, transfer on, ENTER after each value, a decimal comma. No window manager moves
        // the focus on the virtual X server, so the program goes into hiding by itself.
        const std::filesystem::path folder = config.root + "/Oden_Malvert/Valbrix";
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "Valbrix.ini", std::ios::binary)
            << "[Settings]\r\nComPort=5\r\nLanguage=0\r\nActiveOnStartup=1\r\nSeparator=Enter\r\n"
               "DecimalSeparator=,\r\nFormat=2,7 \xB5m/mil/Tesla\r\nAutoMinimize=1\r\n";
        ASSERT_TRUE(gauge.start(config.portLink(5)));
        chmod(gauge.slavePath().c_str(), 0666);
        testing::handToSessionUser(config.root);

        receiver = std::make_unique<ChildProcess>(testing::asSessionUser({environment("VALBRIX_RECEIVER")}));
        ASSERT_TRUE(receiver->started());
        program = std::make_unique<ChildProcess>(testing::asSessionUser({environment("VALBRIX_EXECUTABLE"), "--trace"}));
        ASSERT_TRUE(program->started());
    }
    void TearDown() override {
        if (!HasFailure() || !program) return;
        program->waitForLine("\n", 500);  // reads what is left: no line contains a line end
        std::string trace;
        for (const std::string& line : program->lines) trace += line + "\n";
        ADD_FAILURE() << "what the program showed:\n" << trace;
    }

    bool wayland() const { return std::get<0>(GetParam()) == Desktop::Wayland; }
    const Layout& layout() const { return *std::get<1>(GetParam()); }

    void expectShown(const std::string& part) {
        EXPECT_TRUE(program->waitForLine(part, patienceMs)) << "never shown: " << part;
    }
    // The next line the receiver got, "" when none came.
    std::string arrived() { return receiver->waitForLine("", patienceMs).value_or(""); }

    testing::ConfigHome config;
    std::unique_ptr<testing::DesktopSession> session;
    gaugesim::Simulator gauge;
    std::unique_ptr<ChildProcess> receiver;
    std::unique_ptr<ChildProcess> program;
};

TEST_P(SessionTyping, ReadingsAndAGridDumpArriveWithTheKeysOfTheLayout) {
    expectShown(wayland() ? "key sink: wayland virtual keyboard" : "key sink: xtest");
    expectShown("window hidden");
    expectShown("control 1014: Pocket-VARNITRON 6121");
    // The follow-up commands after the identification are through: a reading the gauge printed while
    // one of them waited for its echo would be taken for a wrong echo.
    ASSERT_TRUE(gauge.waitForCommand("G150000", 0, patienceMs));
    ASSERT_TRUE(gauge.waitIdle(patienceMs));
    // The user clicks into the receiving window.
    ASSERT_TRUE(session->focus("Valbrix receiver"));

    int number = 0;
    for (const Reading& reading : layout().readings) {
        gauge.reading(++number, reading.value, reading.unit);
        EXPECT_EQ(arrived(), reading.arrives);
    }
    gauge.memoryDump(6, 3, layout().dumpUnit);
    for (const std::string& row : layout().dumpRows) EXPECT_EQ(arrived(), row);

    const int extra = std::atoi(environment("VALBRIX_LATENCY_READINGS").c_str());
    std::vector<double> latencies;
    for (int n = 0; n < extra; ++n) {
        gauge.reading(++number, "4.56", "mm");
        const std::string line = arrived();
        const auto at = std::chrono::steady_clock::now();
        ASSERT_EQ(line, "4,56 mm<ENTER>");
        latencies.push_back(std::chrono::duration<double, std::milli>(at - gauge.lastPrintout()->lastByteAt).count());
    }
    if (latencies.empty()) return;
    std::sort(latencies.begin(), latencies.end());
    std::printf("typing latency on %s, %zu readings: median %.0f ms, 90th percentile %.0f ms, maximum %.0f ms\n",
                wayland() ? "Wayland (sway)" : "X11 (Xvfb)", latencies.size(), latencies[latencies.size() / 2],
                latencies[latencies.size() * 9 / 10], latencies.back());
}

std::string caseName(const ::testing::TestParamInfo<SessionTyping::ParamType>& info) {
    return std::string(std::get<0>(info.param) == Desktop::Wayland ? "Wayland_" : "X11_") + std::get<1>(info.param)->name;
}

INSTANTIATE_TEST_SUITE_P(Desktops, SessionTyping,
                         ::testing::Combine(::testing::Values(Desktop::Wayland, Desktop::X11),
                                            ::testing::Values(&layouts[0], &layouts[1])),
                         caseName);

}  // namespace
}  // namespace valbrix
