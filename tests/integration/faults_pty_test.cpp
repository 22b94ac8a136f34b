// What goes wrong on a real line, on a pseudo-terminal with the simulated gauge and the real threads:
// the adapter pulled out and plugged back in, a reading printed ahead of an echo, a gauge that floods
// the line, and a receiver that cannot keep up.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "config_home.h"
#include "deadline.h"
#include "export/export_loop.h"
#include "gauge/varni_tiny.h"
#include "gaugesim/simulator.h"
#include "pty_road.h"

namespace valbrix {
namespace {

using namespace std::chrono_literals;
using testing::pollFor;

constexpr int gaugePort = 5;
constexpr int patienceMs = 30000;

class FaultsOnPty : public ::testing::Test {
protected:
    void connect(gaugesim::Options options = {}) {
        simulator = std::make_unique<gaugesim::Simulator>(std::move(options));
        ASSERT_TRUE(simulator->start(home.portLink(gaugePort)));
        gauge = std::make_unique<cVarniTiny>(gaugePort, [](cVarniTiny& g) { g.QueueFollowUpRequests(); }, 1);
        ASSERT_TRUE(gauge->Port().IsConfigured());
    }
    void TearDown() override {
        gauge.reset();
        simulator.reset();
    }

    std::vector<int> numbersTaken() {
        std::vector<int> numbers;
        for (MeasuredValue record; gauge->takeValue(record);) numbers.push_back(record.number);
        return numbers;
    }

    testing::ConfigHome home;
    std::unique_ptr<gaugesim::Simulator> simulator;
    std::unique_ptr<cVarniTiny> gauge;
};

TEST_F(FaultsOnPty, APulledAdapterIsOpenedAgainAndNothingTakenInIsLost) {
    gaugesim::Options options;
    options.paced = false;
    connect(options);
    simulator->reading(1, "4.56", "mm");
    simulator->reading(2, "4.57", "mm");
    ASSERT_TRUE(simulator->waitHostRead(patienceMs));

    simulator->unplug();
    ASSERT_TRUE(pollFor(patienceMs, [this] { return gauge->PortLost(); }));
    EXPECT_EQ(gauge->OpenPortNumber(), -1);
    EXPECT_FALSE(gauge->IsIdentified());

    ASSERT_TRUE(simulator->plugIn());
    ASSERT_TRUE(pollFor(patienceMs, [this] { return !gauge->PortLost(); }));
    EXPECT_EQ(gauge->OpenPortNumber(), gaugePort);
    gauge->RequestIdentification();
    ASSERT_TRUE(simulator->waitForCommand("G00", 0, patienceMs).has_value());
    EXPECT_TRUE(pollFor(patienceMs, [this] { return gauge->IsIdentified(); }));
    simulator->reading(3, "4.58", "mm");
    ASSERT_TRUE(simulator->waitHostRead(patienceMs));
    std::vector<int> numbers;
    ASSERT_TRUE(pollFor(patienceMs, [&] {
        for (const int number : numbersTaken()) numbers.push_back(number);
        return numbers.size() >= 3;
    }));
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3}));
}

// At 4800 baud, as a pocket gauge sends: the reading comes in while the first follow-up request of
// the identification waits for its echo.
TEST_F(FaultsOnPty, AReadingPrintedAheadOfAnEchoIsKeptAndTheGaugeStaysIdentified) {
    connect();
    gauge->RequestIdentification();
    ASSERT_TRUE(simulator->waitForCommand("G00", 0, patienceMs).has_value());
    simulator->printBeforeNextEcho("   7:  4.56 mm");
    ASSERT_TRUE(simulator->waitForCommand("G150000", 0, patienceMs).has_value());
    ASSERT_TRUE(simulator->waitHostRead(patienceMs));
    EXPECT_EQ(simulator->commands(), (std::vector<std::string>{"?G00", "?G170000", "?G160000", "?G150000"}));
    EXPECT_TRUE(gauge->IsIdentified());
    EXPECT_TRUE(pollFor(patienceMs, [this] { return numbersTaken() == std::vector<int>{7}; }));
}

// Noise whose last byte lets no line end close it (a gauge switched on mid-transmission, a wrong speed),
// then its line end, half a second of quiet and a reading: the reading is kept.
TEST_F(FaultsOnPty, TheReadingAfterLineNoiseAndAPauseIsKept) {
    for (const std::size_t size : {std::size_t{50}, std::size_t{64 * 1024}}) {
        SCOPED_TRACE(size);
        gaugesim::Options options;
        options.paced = false;
        connect(options);
        simulator->send(std::string(size - 1, '\xC3') + "\x80\r\n");
        ASSERT_TRUE(simulator->waitHostRead(patienceMs));
        std::this_thread::sleep_for(600ms);  // the quiet line itself, not a wait for the program
        simulator->reading(1, "4.56", "mm");
        ASSERT_TRUE(simulator->waitHostRead(patienceMs));
        EXPECT_TRUE(pollFor(patienceMs, [this] { return numbersTaken() == std::vector<int>{1}; }));
        TearDown();
    }
}

// While the gauge floods the line the user-interface thread still gets the port at once, and the
// reading after the flood is read as it should be.
TEST_F(FaultsOnPty, AFloodIsLivedThroughAndTheReadingAfterItIsParsed) {
    std::mt19937 random(11);
    std::string noise(256 * 1024, '\0');
    for (char& c : noise) c = static_cast<char>(random() & 0xFF);
    std::string lineEnds;
    for (int i = 0; i < 32 * 1024; ++i) lineEnds += i % 2 == 0 ? '\r' : '\n';
    struct Case {
        const char* what;
        std::string flood;
    };
    const Case cases[] = {
        {"a megabyte without a line end", std::string(1024 * 1024, '7')},
        {"binary noise", noise},
        {"NUL bytes", std::string(64 * 1024, '\0')},
        {"a line end every byte", lineEnds},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gaugesim::Options options;
        options.paced = false;
        connect(options);
        simulator->reading(1, "4.56", "mm");
        simulator->send(c.flood);
        simulator->send("\r\n");
        simulator->reading(2, "4.57", "mm");
        auto probe = std::async(std::launch::async, [this] {
            int providerValue = 0;
            return gauge->ProbePort(gaugePort, providerValue);
        });
        EXPECT_EQ(probe.wait_for(std::chrono::milliseconds(patienceMs)), std::future_status::ready);
        ASSERT_TRUE(simulator->waitHostRead(patienceMs));
        std::vector<int> numbers;
        pollFor(patienceMs, [&] {
            for (const int number : numbersTaken()) numbers.push_back(number);
            return !numbers.empty() && numbers.back() == 2;
        });
        ASSERT_FALSE(numbers.empty());
        EXPECT_EQ(numbers.front(), 1);
        EXPECT_EQ(numbers.back(), 2);
        TearDown();
    }
}

// The whole road with a receiver that takes its first keys only after three seconds.
class SlowReceiverOnPty : public ::testing::Test, protected testing::PtyRoad {
protected:
    void SetUp() override {
        choices.set(ExportChoices{"Enter", 1, ".", "2,7", "TAB,DOWN"});
        keys.holdFirst = 3s;
        ASSERT_TRUE(start(false));
    }

    // The values typed, read back from each delivery's keys ("17.00 <ENTER>" gives 17).
    std::vector<int> typedNumbers() {
        std::vector<int> numbers;
        for (const std::string& delivery : keys.deliveries()) numbers.push_back(std::stoi(delivery));
        return numbers;
    }

    // A dump whose value is its own number, in one column so that every value ends with ENTER.
    std::vector<int> dumpTypedOnceSettled(int count) {
        simulator->memoryDump(count, 1, "mm", 1.0, 1.0, 0);
        EXPECT_TRUE(simulator->waitHostRead(patienceMs));
        std::size_t last = 0;
        for (int unchanged = 0; unchanged < 10;) {
            std::this_thread::sleep_for(200ms);
            const std::size_t now = keys.deliveries().size();
            unchanged = now == last && now > 0 ? unchanged + 1 : 0;
            last = now;
        }
        return typedNumbers();
    }
};

std::vector<int> oneTo(int last) {
    std::vector<int> numbers;
    for (int i = 1; i <= last; ++i) numbers.push_back(i);
    return numbers;
}

TEST_F(SlowReceiverOnPty, EveryValueOfAFullDumpIsTypedInOrderOnceItCatchesUp) {
    EXPECT_EQ(dumpTypedOnceSettled(MeasuredValueRing::lastIndex), oneTo(MeasuredValueRing::lastIndex));
    EXPECT_EQ(gauge->DroppedValues(), 0u);
    EXPECT_EQ(shell.droppedShown(), 0u);
}

// Past the ring's room the newest values are dropped: every one of them is counted and shown, and
// the values typed are the first ones, in order, without a gap.
TEST_F(SlowReceiverOnPty, ValuesPastTheRingAreCountedAndShown) {
    constexpr int sent = MeasuredValueRing::lastIndex + 100;
    const std::vector<int> typed = dumpTypedOnceSettled(sent);
    EXPECT_EQ(typed, oneTo(static_cast<int>(typed.size())));
    EXPECT_GE(gauge->DroppedValues(), 99u);  // the value in the receiver's hands when the dump came is out of the ring
    EXPECT_EQ(typed.size() + gauge->DroppedValues(), static_cast<std::size_t>(sent));
    EXPECT_EQ(shell.droppedShown(), gauge->DroppedValues());
}

}  // namespace
}  // namespace valbrix
