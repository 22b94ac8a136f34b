// The gauge object with its real acquisition thread, talking to the simulated gauge over a
// pseudo-terminal mapped as a COM port.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "config_home.h"
#include "gauge/catalogue.h"
#include "gauge/varni_tiny.h"
#include "gaugesim/simulator.h"

namespace valbrix {
namespace {

using namespace std::chrono_literals;
using Steady = std::chrono::steady_clock;

constexpr int gaugePort = 5;

class GaugeOnPty : public ::testing::Test {
protected:
    void connect(gaugesim::Options options = {}) {
        simulator = std::make_unique<gaugesim::Simulator>(std::move(options));
        ASSERT_TRUE(simulator->start(home.portLink(gaugePort)));
        gauge = std::make_unique<cVarniTiny>(gaugePort, [this](cVarniTiny& identified) { onIdentified(identified); }, 1);
        ASSERT_TRUE(gauge->Port().IsConfigured());
    }
    void TearDown() override {
        gauge.reset();
        simulator.reset();
    }

    // What the application does when a gauge has made itself known.
    void onIdentified(cVarniTiny& identified) {
        ++notifications;
        identified.QueueFollowUpRequests();
    }

    template <typename Condition>
    bool eventually(Condition condition, std::chrono::milliseconds limit = 5s) {
        const auto until = Steady::now() + limit;
        while (!condition()) {
            if (Steady::now() > until) return false;
            std::this_thread::sleep_for(5ms);
        }
        return true;
    }

    testing::ConfigHome home;
    std::unique_ptr<gaugesim::Simulator> simulator;
    std::unique_ptr<cVarniTiny> gauge;
    std::atomic<int> notifications{0};
};

TEST_F(GaugeOnPty, IdentifiesAPocketGaugeAndSendsTheFollowUps) {
    connect();
    gauge->RequestIdentification();
    ASSERT_TRUE(simulator->waitForCommands(4, 30000));
    EXPECT_EQ(simulator->commands(), (std::vector<std::string>{"?G00", "?G170000", "?G160000", "?G150000"}));
    EXPECT_TRUE(gauge->IsIdentified());
    EXPECT_EQ(notifications.load(), 1);
    EXPECT_EQ(displayName(gauge->GetModelText().text), "Pocket-VARNITRON 6121");
}

TEST_F(GaugeOnPty, Model6135AnswersTheExtendedIdentification) {
    gaugesim::Options options;
    options.model = 6135;
    options.replyPrefix = '?';
    connect(options);
    gauge->RequestIdentification();
    ASSERT_TRUE(simulator->waitForCommands(5, 30000));
    EXPECT_EQ(simulator->commands(), (std::vector<std::string>{"?G00", "?G0A", "?G170000", "?G160000", "?G150000"}));
    EXPECT_STREQ(gauge->GetModelText().text, "6135 FN");
    EXPECT_EQ(notifications.load(), 1);
}

TEST_F(GaugeOnPty, SilentGaugeIsUnidentifiedAfterTheEchoWindow) {
    connect();
    simulator->banner(6141);
    ASSERT_TRUE(eventually([this] { return gauge->IsIdentified(); }));
    simulator->setSilent(true);
    gauge->RequestIdentification();
    ASSERT_TRUE(simulator->waitForCommand("G00", 0, 30000).has_value());
    // The echo window closes 300 ms after the frame went out.
    EXPECT_TRUE(eventually([this] { return !gauge->IsIdentified(); }, 1000ms));
}

TEST_F(GaugeOnPty, NoCommandWhileTheGaugeKeepsPrinting) {
    gaugesim::Options options;
    options.paced = false;
    connect(options);
    // A line that has been silent since start-up counts as quiet: the gauge must be talking first.
    simulator->reading(1, "12.5", "um");
    ASSERT_TRUE(eventually([this] { return (gauge->StatusFlags() & cVarniTiny::LineActive) != 0; }));
    gauge->RequestIdentification();
    const auto printingUntil = Steady::now() + 3s;
    for (int i = 2; Steady::now() < printingUntil; ++i) {
        // Well inside the 500 ms, so that a slow (sanitizer) build does not stretch a gap past it.
        std::this_thread::sleep_for(300ms);
        simulator->reading(i, "12.5", "um");
        ASSERT_TRUE(simulator->commands().empty()) << "a command went out between readings " << i;
    }
    const auto quietFrom = Steady::now();
    ASSERT_TRUE(simulator->waitForCommands(1, 30000));
    // Quiet for more than 500 ms, then the next 50 ms pass; a loaded machine may add a little.
    EXPECT_LT(Steady::now() - quietFrom, 1500ms);
}

TEST_F(GaugeOnPty, ChangePortToAMissingPortKeepsTheOldOne) {
    connect();
    home.link(6, home.root + "/unplugged-adapter");
    EXPECT_EQ(gauge->ChangePort(6), gaugePort);
    EXPECT_EQ(gauge->PortNumber(), gaugePort);
    gauge->RequestIdentification();
    ASSERT_TRUE(simulator->waitForCommand("G00", 0, 30000).has_value());
    EXPECT_TRUE(eventually([this] { return gauge->IsIdentified(); }));
}

TEST_F(GaugeOnPty, AFullMemoryDumpArrivesInOrder) {
    gaugesim::Options options;
    options.paced = false;
    connect(options);
    simulator->memoryDump(MeasuredValueRing::lastIndex, 10, "um", 10.0, 0.1, 1);
    ASSERT_TRUE(simulator->waitHostRead(30000));
    MeasuredValue record;
    int expected = 1;
    EXPECT_TRUE(eventually([&] {
        while (expected <= MeasuredValueRing::lastIndex && gauge->takeValue(record)) {
            if (record.number != expected) return true;  // reported below
            ++expected;
        }
        return expected > MeasuredValueRing::lastIndex;
    }));
    EXPECT_EQ(expected, MeasuredValueRing::lastIndex + 1) << "out of order or missing at " << record.number;
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(gauge->takeValue(record));
    EXPECT_EQ(gauge->DroppedValues(), 0u);
}

}  // namespace
}  // namespace valbrix
