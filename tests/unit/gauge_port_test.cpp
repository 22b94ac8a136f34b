// The gauge object's port when things go wrong: what the gauge prints while a command waits for its
// echo, an adapter pulled out and plugged back in, and another thread that needs the port meanwhile.
#include "gauge/varni_tiny.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "fake_clock.h"
#include "fake_ports.h"
#include "gauge/units.h"
#include "serial/error_box.h"

namespace valbrix {
namespace {

using namespace std::chrono_literals;
using testing::FakeClock;
using testing::FakeLine;
using testing::FakePorts;

std::string frameOf(const std::string& command) { return "\x02" + command + "\x03"; }

class GaugePortTest : public ::testing::Test {
protected:
    void SetUp() override {
        line = ports.add(5);
        line->echo = true;
        gauge = std::make_unique<cVarniTiny>(5, [](cVarniTiny& g) { g.QueueFollowUpRequests(); }, 1,
                                             GaugeEnvironment{&ports, &clock, false});
    }

    void pass(int count = 1) {
        for (int i = 0; i < count; ++i) {
            gauge->AcquisitionPass();
            clock.advance(cVarniTiny::passMs);
        }
    }
    void quietPasses() { pass(11); }

    // A pocket gauge that has answered "G00"; its follow-up commands wait in the queue.
    void identify() {
        quietPasses();
        gauge->RequestIdentification();
        pass();
        line->receive("G6121\r\n");
        pass();
        ASSERT_TRUE(gauge->IsIdentified());
        line->written.clear();
    }

    std::vector<float> valuesTaken() {
        std::vector<float> taken;
        for (MeasuredValue record; gauge->takeValue(record);) taken.push_back(record.value);
        return taken;
    }

    FakeClock clock;
    FakePorts ports{clock};
    std::shared_ptr<FakeLine> line;
    std::unique_ptr<cVarniTiny> gauge;
};

// The gauge takes a reading just as a follow-up command goes out: the reading comes before the echo,
// in the middle of the echo window or right after it. It is parsed, and the echo still counts.
TEST_F(GaugePortTest, AReadingPrintedDuringTheEchoWindowIsKept) {
    struct Case {
        std::uint32_t afterMs;  // from the last byte of the frame
        bool readingFirst;
    };
    const std::string reading = "  7:  4.56 mm\r\n";
    const std::string frame = frameOf("?G170000");
    for (const Case c : {Case{0, true}, Case{100, true}, Case{250, true}, Case{0, false}}) {
        SCOPED_TRACE(std::to_string(c.afterMs) + (c.readingFirst ? " reading first" : " echo first"));
        SetUp();
        identify();
        line->echo = false;
        std::uint32_t sentAt = 0;
        clock.onSleep = [&](std::uint32_t now) {
            if (sentAt == 0 && line->written == frame) sentAt = now;
            if (sentAt == 0 || now != sentAt + c.afterMs) return;
            line->receive(c.readingFirst ? reading + frame : frame + reading);
            line->receive("G17 OK\r\n");
        };
        quietPasses();
        clock.onSleep = nullptr;
        EXPECT_EQ(line->written.substr(0, frame.size()), frame);
        EXPECT_TRUE(gauge->IsIdentified());
        pass();
        EXPECT_EQ(valuesTaken(), std::vector<float>{4.56f});
    }
}

TEST_F(GaugePortTest, AGarbledEchoStillFailsTheCommand) {
    identify();
    line->echo = false;
    line->receive("\x02?G170001\x03  7:  4.56 mm\r\n");
    EXPECT_FALSE(gauge->ExchangeCommand("?G170000"));
    EXPECT_FALSE(gauge->IsIdentified());
    pass();
    EXPECT_EQ(valuesTaken(), std::vector<float>{4.56f});
}

// Pulled out in the middle of a line: the port is closed at once, so that the adapter gets its name
// back, the gauge counts as unidentified, and commands are not kept for whatever comes back. The port
// is tried again every 500 ms; once it is back, the cut line does not spoil the first new one, and
// the values taken in before the pull are all still there.
TEST_F(GaugePortTest, APulledAdapterIsClosedAndOpenedAgainOnceItIsBack) {
    identify();
    line->receive("  1:  1.11 mm\r\n  2:  2.22 mm\r\n  3:  4.5");
    pass();
    line->pull();
    pass();
    EXPECT_TRUE(gauge->PortLost());
    EXPECT_FALSE(line->open);
    EXPECT_FALSE(gauge->IsIdentified());
    EXPECT_EQ(gauge->OpenPortNumber(), -1);
    gauge->RequestIdentification();

    const int triesBefore = line->tries;
    pass(40);  // two seconds
    EXPECT_EQ(line->tries - triesBefore, 4);
    EXPECT_TRUE(gauge->CommandQueueEmpty());
    EXPECT_TRUE(gauge->PortLost());

    line->plugBackIn();
    line->signals.clear();
    line->written.clear();
    pass(10);
    EXPECT_FALSE(gauge->PortLost());
    EXPECT_TRUE(line->open);
    EXPECT_EQ(gauge->OpenPortNumber(), 5);
    EXPECT_EQ(line->signals, (std::vector<LineSignal>{LineSignal::SetDtr, LineSignal::SetRts}));
    EXPECT_EQ(line->written, "");  // the dropped request does not come back
    line->receive("  4:  7.89 mm\r\n");
    pass();
    EXPECT_EQ(valuesTaken(), (std::vector<float>{1.11f, 2.22f, 7.89f}));
}

TEST_F(GaugePortTest, AnAdapterPulledDuringTheEchoWaitIsLost) {
    identify();
    line->echo = false;
    clock.onSleep = [this](std::uint32_t) {
        if (!line->written.empty() && line->written.back() == '\x03') line->pull();
    };
    EXPECT_FALSE(gauge->ExchangeCommand("?G170000"));
    clock.onSleep = nullptr;
    EXPECT_TRUE(gauge->PortLost());
    EXPECT_FALSE(line->open);
}

TEST_F(GaugePortTest, ChoosingAnotherPortEndsTheWaitForTheLostOne) {
    identify();
    const std::shared_ptr<FakeLine> other = ports.add(6);
    line->pull();
    pass();
    ASSERT_TRUE(gauge->PortLost());
    EXPECT_EQ(gauge->ChangePort(6), 6);
    EXPECT_FALSE(gauge->PortLost());
    EXPECT_TRUE(other->open);
}

// The boxes of a port that cannot be set up run the window system's loop, in which anything may
// happen: they come only once the port is let go, so that another thread can take it meanwhile.
TEST_F(GaugePortTest, SetUpFailuresOfAPortChangeAreShownOnceThePortIsFree) {
    static cVarniTiny* changing = nullptr;
    static std::vector<bool> portFreeAtBox;
    portFreeAtBox.clear();
    changing = gauge.get();
    setErrorBoxHandler([](const char*, const char*) {
        auto probe = std::async(std::launch::async, [] {
            int providerValue = 0;
            return changing->ProbePort(7, providerValue);
        });
        portFreeAtBox.push_back(probe.wait_for(10s) == std::future_status::ready);
    });
    const std::shared_ptr<FakeLine> other = ports.add(6);
    other->failTimeouts = true;
    other->failLineSettings = true;
    EXPECT_EQ(gauge->ChangePort(6), 6);
    setErrorBoxHandler(nullptr);
    EXPECT_EQ(portFreeAtBox, (std::vector<bool>{true, true}));
}

// A clock that stands still while the thread sleeps for real: an echo window that never closes, until
// the test lets the time jump ahead so that a thread still waiting ends and a failed test ends too.
class StandingClock final : public Clock {
public:
    std::uint32_t nowMs() override { return jumped ? 1000000 : 1000; }
    void sleepMs(int milliseconds) override { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

    std::atomic<bool> jumped{false};
};

// The acquisition thread waits for an echo that does not come, and its window would never close; a
// port change on another thread still goes through, because the wait lets go of the port at once.
TEST(GaugePortThreads, APortChangeDoesNotWaitForTheEchoWindow) {
    StandingClock clock;
    FakePorts ports{clock};
    const std::shared_ptr<FakeLine> line = ports.add(5);
    ports.add(6);
    cVarniTiny gauge(5, nullptr, 1, GaugeEnvironment{&ports, &clock, true});
    gauge.RequestIdentification();
    auto change = std::async(std::launch::async, [&gauge] {
        // Once the frame is out, the thread sits in the echo wait.
        while (gauge.Port().IsConfigured() && (gauge.StatusFlags() & cVarniTiny::ExchangeBusy) == 0)
            std::this_thread::sleep_for(1ms);
        return gauge.ChangePort(6);
    });
    const bool changed = change.wait_for(60s) == std::future_status::ready;
    clock.jumped = true;
    ASSERT_TRUE(changed) << "the port change waits for the echo";
    EXPECT_EQ(change.get(), 6);
}

// The program ends while a command waits for an echo that does not come: the end does not wait for the
// rest of the window, which on this clock would never close.
TEST(GaugePortThreads, TheEndDoesNotWaitForTheEchoWindow) {
    StandingClock clock;
    FakePorts ports{clock};
    ports.add(5);
    auto gauge = std::make_unique<cVarniTiny>(5, nullptr, 1, GaugeEnvironment{&ports, &clock, true});
    gauge->RequestIdentification();
    while ((gauge->StatusFlags() & cVarniTiny::ExchangeBusy) == 0) std::this_thread::sleep_for(1ms);
    auto end = std::async(std::launch::async, [&gauge] { gauge.reset(); });
    const bool ended = end.wait_for(60s) == std::future_status::ready;
    clock.jumped = true;
    EXPECT_TRUE(ended) << "the end waits for the echo";
}

}  // namespace
}  // namespace valbrix
