#include "common/text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace valbrix {
namespace {

TEST(TextFunctions, FindAndContainsNoCase) {
    struct Case {
        const char* text;
        const char* part;
        int found;
        int foundNoCase;
    };
    const Case cases[] = {
        {"2,7 \xB5m/mil/Tesla", "\xB5m", 4, 4},
        {"2,7 um/mil/Tesla", "UM", -1, 4},
        {"abc", "", -1, -1},
        {"", "a", -1, -1},
        {"ab", "abc", -1, -1},
        {"Gauss", "gauss", -1, 0},
        {"\xB5M", "\xB5m", -1, 0},  // only a to z change case; µ stays itself
    };
    for (const Case& c : cases) {
        EXPECT_EQ(find(c.text, c.part), c.found) << c.text << " / " << c.part;
        EXPECT_EQ(containsNoCase(c.text, c.part), c.foundNoCase) << c.text << " / " << c.part;
    }
}

TEST(TextFunctions, CountsLettersOnlyInAscii) {
    EXPECT_EQ(countLetters("12.3 \xB5m kA/m"), 4);
    EXPECT_EQ(countChar("12.05.2020 10:31", '.'), 2);
}

TEST(TextFunctions, CopyTextBoundsAndShiftsInPlace) {
    char buffer[8];
    copyText(buffer, "abcdefghij", 7);
    EXPECT_STREQ(buffer, "abcdefg");
    char shifted[] = "?G6121";
    copyText(shifted, shifted + 1, 10);
    EXPECT_STREQ(shifted, "G6121");
    copyPrefix(buffer, "6121 V2", 4);
    EXPECT_STREQ(buffer, "6121");
    copyPrefix(buffer, "61", 4);
    EXPECT_STREQ(buffer, "61");
}

TEST(TextFunctions, UpperCopyIsBounded) {
    const std::string longText(1500, 'a');
    const UpperText upper = upperCopy(longText.c_str());
    EXPECT_EQ(std::strlen(upper.text), UpperText::capacity);
    EXPECT_EQ(upper.text[0], 'A');
    EXPECT_STREQ(upperCopy("in/\xB5s").text, "IN/\xB5S");
}

TEST(TextFunctions, KeepNumberChars) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"-12,5 mm", "-12,5"}, {"12-5", "125"}, {" -3", "3"}, {"1.5E3x", "1.5E3"}, {"abc", ""}, {"", ""},
    };
    for (const Case& c : cases) {
        char buffer[32];
        std::strcpy(buffer, c.in);
        keepNumberChars(buffer);
        EXPECT_STREQ(buffer, c.out) << c.in;
    }
}

}  // namespace
}  // namespace valbrix
