#include "gauge/varni_tiny.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

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

TEST_F(GaugeTest, MissingOrWrongEchoMarksTheGaugeUnidentified) {
    line->receive("\x02?G00\x03");
    pass();
    quietPasses();
    EXPECT_TRUE(gauge->IsIdentified() == false);
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
