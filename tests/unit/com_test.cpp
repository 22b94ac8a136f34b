#include "serial/com.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_clock.h"
#include "fake_ports.h"
#include "serial/error_box.h"

namespace valbrix {
namespace {

using testing::FakeClock;
using testing::FakePorts;

std::vector<std::string> shownCaptions;
std::vector<std::string> shownTexts;
void recordErrorBox(const char* caption, const char* text) {
    shownCaptions.emplace_back(caption);
    shownTexts.emplace_back(text);
}

class ComTest : public ::testing::Test {
protected:
    void SetUp() override {
        shownCaptions.clear();
        shownTexts.clear();
        setErrorBoxHandler(recordErrorBox);
    }
    void TearDown() override { setErrorBoxHandler(nullptr); }

    FakeClock clock;
    FakePorts ports{clock};
};

TEST(PortName, NamesByNumber) {
    EXPECT_EQ(PortName(1), "COM1");
    EXPECT_EQ(PortName(9), "COM9");
    EXPECT_EQ(PortName(10), "\\\\.\\COM10");
    EXPECT_EQ(PortName(31), "\\\\.\\COM31");
    EXPECT_EQ(PortName(99), "\\\\.\\COM99");
    EXPECT_EQ(PortName(0), "");
    EXPECT_EQ(PortName(-1), "");
    EXPECT_EQ(PortName(100), "");
}

TEST_F(ComTest, OpenSetsTheGaugeLineAndCloseRestoresIt) {
    const auto line = ports.add(3);
    cCOM com(3, gaugeLineSettings, ports, clock);
    EXPECT_TRUE(com.IsConfigured());
    EXPECT_TRUE(line->open);
    EXPECT_EQ(line->applied.baud, 4800);
    EXPECT_EQ(line->applied.dataBits, 8);
    EXPECT_EQ(line->applied.parity, Parity::None);
    EXPECT_EQ(line->applied.stopBits, 1);
    EXPECT_EQ(com.OpenPortNumber(), 3);

    EXPECT_TRUE(com.Close());
    EXPECT_FALSE(line->open);
    EXPECT_EQ(line->restores, 1);
    EXPECT_EQ(line->signals, (std::vector<LineSignal>{LineSignal::ClearDtr, LineSignal::ClearRts}));
    EXPECT_EQ(line->signalsAtFirstRestore, 2u);  // both lines drop before the old settings go back
    EXPECT_FALSE(com.Close());
    EXPECT_TRUE(com.IsConfigured());  // stays set for the life of the object
    EXPECT_EQ(com.OpenPortNumber(), -1);
    EXPECT_EQ(com.ReadByte(), -1);
    EXPECT_FALSE(com.WriteByte('x'));
    EXPECT_FALSE(com.WriteString("x", 1));
    EXPECT_TRUE(shownCaptions.empty());
}

TEST_F(ComTest, OwnPortAnswersCanOpenAndProbeWithoutTouchingIt) {
    const auto line = ports.add(4);
    line->providerValue = 51;
    cCOM com(4, gaugeLineSettings, ports, clock);
    const int opens = line->opens;
    EXPECT_TRUE(com.CanOpen(4));
    int provider = -7;
    EXPECT_TRUE(com.Probe(4, provider));
    EXPECT_EQ(provider, -7);
    EXPECT_EQ(line->opens, opens);

    ports.add(5)->providerValue = 51;
    EXPECT_TRUE(com.Probe(5, provider));
    EXPECT_EQ(provider, 51);
    EXPECT_FALSE(ports.lines[5]->open);
    EXPECT_FALSE(com.Probe(6, provider));
    EXPECT_FALSE(com.CanOpen(6));
}

TEST_F(ComTest, PortNumbersOutsideTheNameRangeNeverOpen) {
    cCOM closed(ports, clock);
    // A closed object's own number is -1; it must not pass for "already open".
    EXPECT_FALSE(closed.CanOpen(-1));
    EXPECT_FALSE(closed.Open(-1, 4800, 8, 0, 1));
    EXPECT_FALSE(closed.Open(0, 4800, 8, 0, 1));
    EXPECT_FALSE(closed.IsConfigured());
}

TEST_F(ComTest, PortInUseCannotBeOpenedTwice) {
    ports.add(2);
    cCOM first(2, gaugeLineSettings, ports, clock);
    cCOM second(ports, clock);
    EXPECT_FALSE(second.CanOpen(2));
    EXPECT_FALSE(second.Open(2, 4800, 8, 0, 1));
    EXPECT_FALSE(second.IsConfigured());
}

TEST_F(ComTest, SetUpFailuresShowTheirBoxesAndThePortStaysInUse) {
    const auto line = ports.add(7);
    line->failTimeouts = true;
    line->failLineSettings = true;
    cCOM com(ports, clock);
    EXPECT_TRUE(com.Open(7, 4800, 8, 0, 1));
    EXPECT_EQ(shownCaptions, (std::vector<std::string>{"Fehler #0001 beim Initialisieren von COM",
                                                       "Fehler #0002 beim Initialisieren von COM"}));
    // Each box says what the system says about the error.
    EXPECT_EQ(shownTexts, std::vector<std::string>(2, "The device does not recognize the command."));
    EXPECT_TRUE(com.WriteByte('A'));
    EXPECT_EQ(line->written, "A");
}

TEST_F(ComTest, WriteStringPausesAfterEveryByte) {
    const auto line = ports.add(1);
    cCOM com(1, gaugeLineSettings, ports, clock);
    const std::uint32_t before = clock.now;
    EXPECT_TRUE(com.WriteString("\x02?G00\x03", 1));
    EXPECT_EQ(clock.now - before, 6u);
    EXPECT_EQ(line->written, "\x02?G00\x03");
    EXPECT_TRUE(com.WriteString("", 1));
}

}  // namespace
}  // namespace valbrix
