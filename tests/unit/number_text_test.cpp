#include "common/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace valbrix {
namespace {

struct Rounding {
    float value;
    int decimals;
    const char* text;
};

TEST(NumberText, ExactTiesGoAwayFromZero) {
    // Each value is exactly representable, so it lies exactly halfway between two texts.
    const Rounding cases[] = {
        {1.125f, 2, "1.13"},   {100.5f, 0, "101"},   {1.25f, 1, "1.3"},     {-1.125f, 2, "-1.13"},
        {0.5f, 0, "1"},        {2.5f, 0, "3"},       {-2.5f, 0, "-3"},      {7.5f, 0, "8"},
        {0.0625f, 3, "0.063"}, {2.125f, 2, "2.13"},  {10.25f, 1, "10.3"},   {0.03125f, 4, "0.0313"},
        {999.5f, 0, "1000"},   {9.96875f, 1, "10.0"}, {-0.5f, 0, "-1"},
    };
    for (const Rounding& c : cases) EXPECT_EQ(fixedPointText(c.value, c.decimals), c.text) << c.value;
}

TEST(NumberText, OtherValuesRoundByTheirExactBinaryValue) {
    const Rounding cases[] = {
        {1.005f, 2, "1.00"},                       // 1.00499999523...
        {1.115f, 2, "1.12"},                       // 1.11500000953...
        {2.675f, 2, "2.67"},                       // 2.67499995231...
        {9.995f, 2, "9.99"},
        {0.05f, 1, "0.1"},                         // 0.0500000007...
        {0.49999997f, 0, "0"},                     // the float just below one half
        {0.1f, 20, "0.10000000149011611938"},
        {4.56f, 2, "4.56"},
        {123.44f, 0, "123"},
        {0.0f, 0, "0"},
        {0.0f, 3, "0.000"},
        {16777216.0f, 1, "16777216.0"},
        {-89999998976.0f, 0, "-89999998976"},
        {std::numeric_limits<float>::max(), 2, "340282346638528859811704183484516925440.00"},
        {std::numeric_limits<float>::denorm_min(), 99,
         "0.000000000000000000000000000000000000000000001401298464324817070923729583289916131280261941876515772"},
    };
    for (const Rounding& c : cases) EXPECT_EQ(fixedPointText(c.value, c.decimals), c.text) << c.value;
}

TEST(NumberText, SignWidthAndWhatIsNoNumber) {
    struct Case {
        float value;
        int decimals;
        int width;
        std::string text;
    };
    const Case cases[] = {
        {-0.0f, 2, 0, "-0.00"},  // the sign stays, as printf keeps it
        {-0.004f, 2, 0, "-0.00"},
        {12.0f, 0, 5, "   12"},
        {-4.5f, 1, 6, "  -4.5"},
        {123.25f, 2, 2, "123.25"},
        {1.5f, 1, -3, "1.5"},
        {1.5f, -2, 0, "2"},      // no decimals below none
        {1.5f, 150, 0, "1.5" + std::string(maximumDecimals - 1, '0')},
        {std::numeric_limits<float>::max(), 150, 0,
         "340282346638528859811704183484516925440." + std::string(maximumDecimals, '0')},
        {std::numeric_limits<float>::infinity(), 2, 5, "  inf"},
        {-std::numeric_limits<float>::infinity(), 2, 0, "-inf"},
        {std::numeric_limits<float>::quiet_NaN(), 2, 0, "nan"},
    };
    for (const Case& c : cases) EXPECT_EQ(fixedPointText(c.value, c.decimals, c.width), c.text) << c.value;
}

}  // namespace
}  // namespace valbrix
