#include "common/numbers.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace valbrix {
namespace {

TEST(NumberReaders, ReadDecimal) {
    struct Case {
        const char* text;
        float value;
    };
    // The expected floats are built the way the gauges' reader builds them: digit by digit, then scaled
    // by a power of ten that was itself divided down one step at a time in float.
    const Case cases[] = {
        {"", 0.0f},
        {"12,5", 125.0f * 0.1f},
        {"12.5", 125.0f * 0.1f},
        {"1.234.5", 12345.0f * 0.1f},  // a second separator starts the fraction again
        {"1.5E3", 153.0f * (0.1f / 10.0f)},  // no exponent
        {"12-5", 125.0f},
        {"-0,75", -(75.0f * (0.1f / 10.0f))},
        {"4.56", 456.0f * (0.1f / 10.0f)},
        {"- 4.5 mm", -(45.0f * 0.1f)},
        {"---", 0.0f},
        {"abc", 0.0f},
        {"7.", 7.0f},
    };
    for (const Case& c : cases) EXPECT_EQ(readDecimal(c.text), c.value) << c.text;
}

TEST(NumberReaders, ReadDecimalLooksAtNinetyNineCharacters) {
    const std::string longNumber = std::string(98, '0') + "12";
    EXPECT_EQ(readDecimal(longNumber.c_str()), 1.0f);
}

TEST(NumberReaders, ReadInteger) {
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {
        {"", 0},         {"5", 5},      {"-7", -7},           {"12abc34", 1234},     {"1.5", 1},
        {" 3", 3},       {"x", 0},      {"99999999999", INT_MAX}, {"-99999999999", INT_MIN},
    };
    for (const Case& c : cases) EXPECT_EQ(readInteger(c.text), c.value) << c.text;
}

TEST(NumberReaders, ReadHex) {
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {{"", 0}, {"00", 0}, {"0A", 10}, {"0a", 10}, {"170000", 0x170000}, {"G00", -1}, {"0 ", -1}};
    for (const Case& c : cases) EXPECT_EQ(readHex(c.text), c.value) << c.text;
}

TEST(NumberReaders, TruncateToIntClampsOutOfRange) {
    EXPECT_EQ(truncateToInt(12.9f), 12);
    EXPECT_EQ(truncateToInt(-12.9f), -12);
    EXPECT_EQ(truncateToInt(1e20f), INT_MAX);
    EXPECT_EQ(truncateToInt(-1e20f), INT_MIN);
}

}  // namespace
}  // namespace valbrix
