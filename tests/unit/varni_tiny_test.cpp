#include "gauge/varni_tiny.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "fake_clock.h"
#include "fake_ports.h"
#include "gauge/units.h"

namespace valbrix {
namespace {

using testing::FakeClock;
using testing::FakeLine;
using testing::FakePorts;

std::string frameOf(const std::string& command) { return "\x02" + command + "\x03"; }

// The gauge object on a scripted port, its passes driven by hand in virtual time.
class GaugeTest : public ::testing::Test {
protected:
    void SetUp() override {
        line = ports.add(5);
        line->echo = true;
        gauge = std::make_unique<cVarniTiny>(5, [this](cVarniTiny& identified) { onIdentified(identified); }, 1, GaugeEnvironment{&ports, &clock, false});
    }

    void onIdentified(cVarniTiny& identified) {
        ++notifications;
        identified.QueueFollowUpRequests();
    }

    // One pass and the thread's pause after it.
    void pass(int count = 1) {
        for (int i = 0; i < count; ++i) {
            gauge->AcquisitionPass();
            clock.advance(cVarniTiny::passMs);
        }
    }
    void quietPasses() { pass(11); }

    FakeClock clock;
    FakePorts ports{clock};
    std::shared_ptr<FakeLine> line;
    std::unique_ptr<cVarniTiny> gauge;
    int notifications = 0;
};

TEST_F(GaugeTest, StartsUnidentifiedWithThePrefixAsModelText) {
    EXPECT_FALSE(gauge->IsIdentified());
    EXPECT_STREQ(gauge->GetModelText().text, "?");
    EXPECT_EQ(gauge->GetDeviceModel(), 6121);
    EXPECT_EQ(gauge->CommandPrefix(), '?');
    EXPECT_EQ(gauge->GridColumns(), 0);
}

TEST_F(GaugeTest, CommandsWaitForFiveHundredQuietMilliseconds) {
    quietPasses();
    gauge->RequestIdentification();
    // The gauge prints a line every 450 ms: the command keeps waiting.
    for (int i = 0; i < 5; ++i) {
        line->receive("  1:  4.5 mm\r\n");
        pass(9);
        EXPECT_EQ(line->written, "") << "after line " << i;
    }
    // Quiet from here: the first pass more than 500 ms after the last byte sends it.
    pass(2);  // 450 and 500 ms since the last byte
    EXPECT_EQ(line->written, "");
    pass(1);
    EXPECT_EQ(line->written, frameOf("?G00"));
}

TEST_F(GaugeTest, IdentificationQueuesTheFollowUpsInOrder) {
    quietPasses();
    gauge->RequestIdentification();
    EXPECT_STREQ(gauge->GetModelText().text, "");
    pass();
    line->written.clear();
    line->receive("G6121\r\n");
    pass();
    EXPECT_TRUE(gauge->IsIdentified());
    EXPECT_EQ(notifications, 1);
    EXPECT_STREQ(gauge->GetModelText().text, "6121");
    quietPasses();
    pass(2);  // one command a pass
    EXPECT_EQ(line->written, frameOf("?G170000") + frameOf("?G160000") + frameOf("?G150000"));
}

TEST_F(GaugeTest, Model6135IsAskedForItsExtendedIdentification) {
    quietPasses();
    gauge->RequestIdentification();
    pass();
    line->written.clear();
    line->receive("G6135\r\n");
    pass();
    EXPECT_EQ(notifications, 0);
    EXPECT_STREQ(gauge->GetModelText().text, "");
    quietPasses();
    EXPECT_EQ(line->written, frameOf("?G0A"));
    line->written.clear();
    line->receive("G6135 FN\r\n");
    pass();
    EXPECT_EQ(notifications, 1);
    EXPECT_STREQ(gauge->GetModelText().text, "6135 FN");
    EXPECT_TRUE(gauge->IsIdentified());
}

// With the queue full, no request leaves: the callers hear of it, and a 6135 that cannot be asked
// for its extended identification stays unidentified so that it is asked again later.
TEST_F(GaugeTest, AFullQueueRefusesRequestsAndSaysSo) {
    quietPasses();
    ASSERT_TRUE(gauge->RequestIdentification());
    pass();
    line->receive("G6135\r\n");
    for (int i = 0; i < 38; ++i) ASSERT_TRUE(gauge->QueueCommand("X")) << i;
    EXPECT_FALSE(gauge->RequestIdentification());
    EXPECT_FALSE(gauge->QueueFollowUpRequests());
    gauge->AcquisitionPass();  // the reply asks for "G0A", which no longer fits
    EXPECT_FALSE(gauge->IsIdentified());
    EXPECT_EQ(notifications, 0);
}

// With no command sent, a line that looks like a reply answers nothing.
TEST_F(GaugeTest, AReplyBeforeAnyCommandChangesNothing) {
    line->receive("\x02?G6121\x03" "G8525\r\n");
    pass();
    EXPECT_FALSE(gauge->IsIdentified());
    EXPECT_STREQ(gauge->GetModelText().text, "?");
    EXPECT_EQ(gauge->GetDeviceModel(), 6121);
    EXPECT_EQ(gauge->CommandPrefix(), '?');
    EXPECT_EQ(notifications, 0);
}

// G00 goes out with the prefix '?'. Lines that switch the prefix to '/' before or after the reply
// do not change what was asked: the command is read once, by the first line after it.
TEST_F(GaugeTest, RepliesCountAlsoAfterAPrefixChange) {
    struct Case {
        const char* printed;
        int model;
        const char* modelText;
        int notifications;
    };
    const Case cases[] = {
        {"  1:  5.0 mT\r\nG7483\r\n", 7483, "7483", 1},  // a value in mT first
        {"G7483\r\nG7482 V2\r\n", 7482, "7482 V2", 2},     // a second reply
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.printed);
        gauge.reset();
        notifications = 0;
        SetUp();
        quietPasses();
        gauge->RequestIdentification();
        pass();
        ASSERT_EQ(line->written, frameOf("?G00"));
        line->receive(c.printed);
        pass();
        EXPECT_TRUE(gauge->IsIdentified());
        EXPECT_EQ(gauge->GetDeviceModel(), c.model);
        EXPECT_STREQ(gauge->GetModelText().text, c.modelText);
        EXPECT_EQ(gauge->CommandPrefix(), '/');
        EXPECT_EQ(notifications, c.notifications);
    }
}

TEST_F(GaugeTest, MissingOrWrongEchoMarksTheGaugeUnidentified) {
    line->receive("=== VARNITRON 6141 ===\r\n");
    pass();
    ASSERT_TRUE(gauge->IsIdentified());
    quietPasses();

    line->echo = false;
    const std::uint32_t before = clock.now;
    EXPECT_FALSE(gauge->ExchangeCommand("?G00"));
    EXPECT_GE(clock.now - before, cVarniTiny::echoWindowMs);
    EXPECT_FALSE(gauge->IsIdentified());
    EXPECT_EQ(gauge->StatusFlags() & cVarniTiny::ExchangeBusy, 0u);

    line->receive("\x02?G01\x03");  // a garbled echo
    EXPECT_FALSE(gauge->ExchangeCommand("?G00"));
    line->echo = true;
    EXPECT_TRUE(gauge->ExchangeCommand("?G00"));
    EXPECT_FALSE(gauge->ExchangeCommand(""));
}

// A command without echo fails, and the next one goes out in the next pass: the line is still quiet.
TEST_F(GaugeTest, AfterAFailedEchoTheNextCommandGoesOutInTheNextPass) {
    quietPasses();
    line->echo = false;
    ASSERT_TRUE(gauge->QueueCommand("G00"));
    ASSERT_TRUE(gauge->QueueCommand("G0A"));
    pass();
    EXPECT_EQ(line->written, frameOf("?G00"));
    EXPECT_FALSE(gauge->IsIdentified());
    pass();
    EXPECT_EQ(line->written, frameOf("?G00") + frameOf("?G0A"));
}

// A gauge that prints instead of echoing: the command fails, and what it printed meanwhile is a
// reading like any other, however much came before it.
TEST_F(GaugeTest, WhatComesInsteadOfTheEchoReachesTheRing) {
    line->echo = false;
    line->receive(std::string(5000, 'x') + "\r\n  1:  4.56 mm\r\n");
    EXPECT_FALSE(gauge->ExchangeCommand("?G00"));
    EXPECT_TRUE(line->inbound.empty());
    MeasuredValue record;
    ASSERT_TRUE(gauge->takeValue(record));
    EXPECT_EQ(record.number, 1);
    EXPECT_EQ(record.unit, UnitMillimetre);
}

TEST_F(GaugeTest, PausesAreTakenOnTheClock) {
    struct Case {
        const char* name;
        std::function<void()> act;
        std::vector<int> pauses;
    };
    const Case cases[] = {
        {"a port change", [this] { ports.add(6); gauge->ChangePort(6); }, {50}},
        {"a port change back to the old port", [this] { gauge->ChangePort(9); }, {50, 1}},
        {"the destruction", [this] { gauge.reset(); }, {50}},
        {"the follow-up requests", [this] { gauge->QueueFollowUpRequests(); }, {10}},
        {"a command of six bytes, echoed at once", [this] { gauge->ExchangeCommand("?G00"); },
         {1, 1, 1, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gauge.reset();
        SetUp();
        clock.sleeps.clear();
        c.act();
        EXPECT_EQ(clock.sleeps, c.pauses);
    }
}

// The gauge hears STX ETX and gets 50 ms to let go of the line before the port closes.
TEST_F(GaugeTest, TheGoodbyeComesFiftyMillisecondsBeforeThePortCloses) {
    struct Case {
        const char* name;
        std::function<void()> act;
    };
    const Case cases[] = {
        {"a port change", [this] { ports.add(6); gauge->ChangePort(6); }},
        {"the destruction", [this] { gauge.reset(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gauge.reset();
        SetUp();
        std::vector<std::string> atPause;
        clock.onSleep = [&](std::uint32_t) { atPause.push_back(line->written + (line->open ? " open" : " closed")); };
        c.act();
        clock.onSleep = nullptr;
        EXPECT_EQ(atPause, std::vector<std::string>{"\x02\x03 open"});
        EXPECT_FALSE(line->open);
    }
}

TEST_F(GaugeTest, ValuesAndGridMarkersReachTheRing) {
    line->receive("#GridX: 3\r\n  1:  12.5 um\r\n  2:  --- um\r\n  3:  0,75 mm\r\n#FileEnd:\r\n");
    pass();
    MeasuredValue record;
    ASSERT_TRUE(gauge->takeValue(record));
    EXPECT_EQ(record.number, 1);
    EXPECT_EQ(record.unit, UnitMicrometre);
    ASSERT_TRUE(gauge->takeValue(record));
    EXPECT_TRUE(isNoValue(record.value));
    ASSERT_TRUE(gauge->takeValue(record));
    EXPECT_EQ(record.unit, UnitMillimetre);
    EXPECT_FALSE(gauge->takeValue(record));
    EXPECT_EQ(gauge->GridColumns(), 0);  // the end marker came last

    line->receive("#GridX: 4\r\n");
    pass();
    EXPECT_EQ(gauge->GridColumns(), 4);
}

// Noise that no line end closes for a 6121, half a second of quiet, then a reading: it reaches the ring,
// while the same reading right after the noise, without the pause, joins it as before.
TEST_F(GaugeTest, AQuietLineClosesTheNoiseBeforeTheNextReading) {
    struct Case {
        int quietMs;
        bool kept;
    };
    for (const Case c : {Case{600, true}, Case{100, false}}) {
        line->receive("\x1B\x8F\x93\x80\r\n");
        pass();
        clock.advance(static_cast<std::uint32_t>(c.quietMs));
        line->receive("  1:  4.56 mm\r\n");
        pass();
        MeasuredValue record;
        EXPECT_EQ(gauge->takeValue(record), c.kept) << "after " << c.quietMs << " quiet ms";
        line->receive("\r\n");  // a blank line between the cases closes what the second one left open
        pass();
    }
}

TEST_F(GaugeTest, ChangePortFallsBackToTheOldPort) {
    const auto other = ports.add(6);
    EXPECT_EQ(gauge->ChangePort(9), 5);
    EXPECT_TRUE(line->open);
    EXPECT_EQ(gauge->PortNumber(), 5);
    EXPECT_EQ(line->written, "\x02\x03");

    EXPECT_EQ(gauge->ChangePort(6), 6);
    EXPECT_TRUE(other->open);
    EXPECT_FALSE(line->open);
    EXPECT_EQ(gauge->PortNumber(), 6);

    other->exists = false;
    EXPECT_EQ(gauge->ChangePort(9), -1);
    EXPECT_EQ(gauge->PortNumber(), 6);
    EXPECT_FALSE(gauge->ExchangeCommand("?G00"));  // writes fail on the closed port
}

TEST_F(GaugeTest, DestructionSaysGoodbyeAndClosesThePort) {
    gauge.reset();
    EXPECT_EQ(line->written, "\x02\x03");
    EXPECT_FALSE(line->open);
    EXPECT_EQ(line->restores, 1);
}

// Bit 0 of the notify mode decides whether the application hears of an identification.
TEST(GaugeNotification, FollowsBitZeroOfTheNotifyMode) {
    for (const int mode : {0, 1, 2, 3}) {
        SCOPED_TRACE(mode);
        FakeClock clock;
        FakePorts ports{clock};
        ports.add(5)->echo = true;
        int notifications = 0;
        cVarniTiny gauge(5, [&notifications](cVarniTiny&) { ++notifications; }, mode,
                         GaugeEnvironment{&ports, &clock, false});
        clock.advance(600);
        gauge.RequestIdentification();
        gauge.AcquisitionPass();
        ports.lines[5]->receive("G6121\r\n");
        gauge.AcquisitionPass();
        EXPECT_TRUE(gauge.IsIdentified());
        EXPECT_EQ(notifications, mode & 1);
    }
}

// While the gauge talks, the acquisition thread passes every 50 ms.
TEST(GaugeThread, PassesEveryFiftyMillisecondsWhileTheGaugeTalks) {
    FakeClock clock;
    FakePorts ports{clock};
    const std::shared_ptr<FakeLine> line = ports.add(5);
    line->receive("  1:");
    std::atomic<int> pauses{0};
    clock.onSleep = [&pauses, &line](std::uint32_t) {
        // The gauge prints a byte at each of the first three pauses; then the thread idles in real time
        // on the silent line until the test ends it.
        if (++pauses <= 3) line->receive("1");
        else std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    {
        const cVarniTiny gauge(5, nullptr, 1, GaugeEnvironment{&ports, &clock, true});
        while (pauses.load() < 3) std::this_thread::yield();
    }
    ASSERT_GE(clock.sleeps.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(clock.sleeps[i], 50) << i;
}

TEST(GaugeWithoutPort, IgnoresBytesAndSendsNothing) {
    FakeClock clock;
    FakePorts ports{clock};
    cVarniTiny* raw = nullptr;
    auto gauge = std::make_unique<cVarniTiny>(8, nullptr, 1, GaugeEnvironment{&ports, &clock, false});
    raw = gauge.get();
    EXPECT_FALSE(raw->HandleByte('1'));
    const std::uint32_t before = clock.now;
    EXPECT_FALSE(raw->ExchangeCommand("?G00"));
    EXPECT_EQ(clock.now, before);  // fails at once, no echo wait
    EXPECT_EQ(raw->StatusFlags() & cVarniTiny::LineActive, 0u);
}

}  // namespace
}  // namespace valbrix
