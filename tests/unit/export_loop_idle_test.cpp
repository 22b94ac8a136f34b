// The export loop when nothing happens and when the gauge's port goes: how long its thread may sleep
// without changing when anything is done, and what it tells the shell.
#include "export/export_loop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export_world.h"

namespace valbrix {
namespace {

class ExportLoopIdleTest : public ::testing::Test, protected testing::ExportWorld {
protected:
    void SetUp() override { buildGauge(false); }

    // What the loop's thread does after a pass: as long a wait as the loop allows, in which nothing
    // changes here.
    void waitWhileIdle() {
        const int wait = loop->idleWaitMs();
        if (wait <= 0) return;
        clock.advance(static_cast<std::uint32_t>(wait));
        loop->creditIdleTime(static_cast<std::uint32_t>(wait));
    }
};

TEST_F(ExportLoopIdleTest, HowLongTheThreadMaySleep) {
    struct Case {
        const char* what;
        bool autoMinimize;
        bool identified;
        int device;
        int expected;
    };
    const Case cases[] = {
        {"hiding after the start is due", true, true, 6121, 0},
        {"an identified gauge says nothing", false, true, 6121, -1},
        {"a gauge of model group 2 is never asked", false, false, 8525, -1},
        {"a silent gauge is asked when 20 passes have gone by", false, false, 6121,
         (ExportLoop::identificationPollPasses - 2) * ExportLoop::passMs},
    };
    for (const Case& c : cases) {
        SetUp();
        flags.device = c.device;
        if (c.identified) {
            line->receive("=== VARNITRON 6141 ===\r\n");
            gauge->AcquisitionPass();
        }
        makeLoop(c.autoMinimize);
        loop->pass();
        EXPECT_EQ(loop->idleWaitMs(), c.expected) << c.what;
    }
}

// Waiting in place of the passes that would only have counted, the loop asks a silent gauge exactly
// when it would have asked it pass by pass: every 20 passes and the second of the request.
TEST_F(ExportLoopIdleTest, ASilentGaugeIsAskedAsOftenAsPassByPass) {
    const auto requestTimes = [this](bool waiting) {
        SetUp();
        makeLoop();
        const std::uint32_t start = clock.now;
        std::vector<std::uint32_t> times;
        while (times.size() < 3) {
            loop->pass();
            if (!gauge->CommandQueueEmpty()) {
                times.push_back(clock.now - start);
                char command[100];
                gauge->NextCommand(command, sizeof command);
            }
            if (waiting) waitWhileIdle();
        }
        return times;
    };
    const std::vector<std::uint32_t> passByPass = requestTimes(false);
    EXPECT_EQ(passByPass[2] - passByPass[1], 2010u);
    EXPECT_EQ(requestTimes(true), passByPass);
}

TEST_F(ExportLoopIdleTest, APortThatGoesAndComesBackIsToldOnceEachWayAndNotPolled) {
    makeLoop();
    loop->pass();
    line->pull();
    gauge->AcquisitionPass();
    for (int i = 0; i < 3 * ExportLoop::identificationPollPasses; ++i) loop->pass();
    EXPECT_EQ(shell.portStates, std::vector<bool>{true});
    EXPECT_EQ(loop->idleWaitMs(), -1);
    line->plugBackIn();
    clock.advance(cVarniTiny::reopenIntervalMs);
    gauge->AcquisitionPass();
    ASSERT_FALSE(gauge->PortLost());
    // Dropped while the port was gone: no request piled up for the gauge that comes back.
    EXPECT_TRUE(gauge->CommandQueueEmpty());
    loop->pass();
    EXPECT_EQ(shell.portStates, (std::vector<bool>{true, false}));
}

TEST_F(ExportLoopIdleTest, ValuesTheRingHadNoRoomForAreToldAsTheyGrow) {
    makeLoop();
    std::string dump;
    for (int i = 1; i <= MeasuredValueRing::lastIndex + 2; ++i) dump += "  " + std::to_string(i) + ":  1.5 mm\r\n";
    line->receive(dump);
    gauge->AcquisitionPass();
    loop->pass();
    loop->pass();
    line->receive("  1:  1.5 mm\r\n");
    gauge->AcquisitionPass();
    loop->pass();
    EXPECT_EQ(shell.droppedCounts, std::vector<std::uint32_t>{2});
    EXPECT_EQ(describeKeys(keys.events).size(), (MeasuredValueRing::lastIndex + 1) * std::string("1.50 mm<ENTER>").size());
}

}  // namespace
}  // namespace valbrix
