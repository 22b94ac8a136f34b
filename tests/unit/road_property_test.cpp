// Whatever the gauge sends and whatever the user chose, only the keys of a number, of the chosen unit
// display, of the chosen control key, of a grid or of the user's sequence reach the key sink.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "export/key_text.h"
#include "road_check.h"

namespace valbrix {
namespace {

using testing::drawChoices;
using testing::RoadCheck;

// Gauge output that is partly what gauges print and partly anything at all.
std::string gaugeBytes(std::mt19937& random) {
    const std::string pieces[] = {
        "  1:  4.56 mm\r\n", "  2:  -0,75 MILS\r\n", "  3:  123.4 um\r\n", "  4:  1.5 mT\r\n", "  5:  12 %\r\n",
        "  6:  0.12 INCH\r\n", "  7:  3.3 A/cm\r\n", "  8:  9 G\r\n", "  9:  1 kA/m\r\n", " 10:  5920 m/s\r\n",
        " 11:  1.2 us\r\n", " 12:  40 ns\r\n", "#GridX: 3\r\n", "#GridX: 0\r\n", "#FileEnd:\r\n",
        "\x02?G00\x03", "6121\r\n", "6135\r\n", "G0A\r\n", "n= 12\r\n", "Mean 4.5 mm\r\n", "1e38", "nan",
        "inf", "-", "99999999999999999999", "  13:  " + std::string(60, '4') + " mm\r\n", ":", " ", "\r", "\n", "\r\n", std::string(1, '\0'),
    };
    std::string bytes;
    const int count = static_cast<int>(random() % 40);
    for (int i = 0; i < count; ++i) {
        if (random() % 3 == 0) {
            const int length = static_cast<int>(random() % 24);
            for (int j = 0; j < length; ++j) bytes += static_cast<char>(random() & 0xFF);
        } else {
            bytes += pieces[random() % std::size(pieces)];
        }
    }
    return bytes;
}

std::string sequenceField(std::mt19937& random) {
    const char* const names[] = {"TAB", "DOWN", "ENTER", "CTRL+C", "x", " up ", "F5", "", "Right", "\xB5", "ctrl+v"};
    std::string field;
    const int count = static_cast<int>(random() % 6);
    for (int i = 0; i < count; ++i) field += std::string(i > 0 ? "," : "") + names[random() % std::size(names)];
    return field;
}

TEST(RoadProperty, NoKeyReachesTheSinkThatTheChoicesDoNotAllow) {
    std::mt19937 random(20261208);
    int typedRuns = 0;
    for (int run = 0; run < 400; ++run) {
        std::uint8_t drawn[6];
        for (std::uint8_t& byte : drawn) byte = static_cast<std::uint8_t>(random());
        RoadCheck road(drawChoices(drawn, sequenceField(random)));
        const std::string bytes = gaugeBytes(random);
        road.gaugeSends(bytes, 1 + random() % 80);
        EXPECT_EQ(road.faults(), "") << "run " << run << ", typed " << describeKeys(road.typed());
        if (!road.typed().empty()) ++typedRuns;
    }
    EXPECT_GT(typedRuns, 100);  // the road did type: the check above looked at something
}

// The check itself: a value with the Sequence choice types the number, the unit and the sequence.
TEST(RoadProperty, TheCheckedRoadTypesAValueAndItsSequence) {
    const std::uint8_t drawn[] = {8, 1, 0, 1, 0, 0};  // Sequence, English, '.', "2,7 µm/mil/Tesla"
    RoadCheck road(drawChoices(drawn, "TAB,DOWN"));
    road.gaugeSends("  1:  4.56 mm\r\n");
    EXPECT_EQ(describeKeys(road.typed()), "4.56 mm<TAB><DOWN>");
    EXPECT_EQ(road.faults(), "");
}

}  // namespace
}  // namespace valbrix
