#include "export/keystroke_emitter.h"

#include <gtest/gtest.h>

#include <string>

#include "export/key_text.h"

namespace valbrix {
namespace {

KeyEvent down(std::uint8_t key, std::uint8_t scan = 0) { return {key, scan == 0 ? key : scan, KeyEventPress}; }
KeyEvent up(std::uint8_t key, std::uint8_t scan = 0) { return {key, scan == 0 ? key : scan, KeyEventRelease}; }

KeyEvents typed(const char* text, int layout = 1, bool capsLock = false) {
    KeyEvents events;
    typeText(events, text, layout, capsLock);
    return events;
}

KeyEvents sequence(const char* text) {
    KeyEvents events;
    sendSequence(events, text);
    return events;
}

TEST(KeystrokeEmitter, ExactEventsOfTheCharacterTable) {
    struct Case {
        const char* text;
        int layout;
        KeyEvents events;
        bool capsLock = false;
    };
    const Case cases[] = {
        {"12,5 mm", 1,
         {down('1'), up('1'), down('2'), up('2'), down(VkOemComma), up(VkOemComma), down('5'), up('5'),
          down(VkSpace), up(VkSpace), down('M'), up('M'), down('M'), up('M')}},
        {"12,5", 3,
         {down(VkShift), down('1'), up('1'), up(VkShift), down(VkShift), down('2'), up('2'), up(VkShift),
          down(VkOemComma), up(VkOemComma), down(VkShift), down('5'), up('5'), up(VkShift)}},
        {"\xB5", 1, {down(VkRightAlt, 18), down('M'), up('M'), up(VkRightAlt, 18)}},
        {"I/", 1, {down(VkShift), down('I'), up('I'), up(VkShift), down(VkDivide), up(VkDivide)}},
        {"%", 3, {down(VkShift), down('5'), up('5'), up(VkShift)}},
        {"-+.", 1,
         {down(VkOemMinus), up(VkOemMinus), down(VkOemPlus), up(VkOemPlus), down(VkOemPeriod),
          up(VkOemPeriod)}},
        {"?#(\xE4\xFC\n", 1, {}},  // outside the table: skipped
        {"", 1, {}},
        // Under Caps Lock a letter comes out in the other case: Shift turns it back. Nothing else changes.
        {"mA/cm", 1,
         {down(VkShift), down('M'), up('M'), up(VkShift), down('A'), up('A'), down(VkDivide), up(VkDivide),
          down(VkShift), down('C'), up('C'), up(VkShift), down(VkShift), down('M'), up('M'), up(VkShift)},
         true},
        {"5µ%", 3,
         {down(VkShift), down('5'), up('5'), up(VkShift), down(VkCapital), up(VkCapital), down(VkRightAlt, 18),
          down('M'), up('M'), up(VkRightAlt, 18), down(VkCapital), up(VkCapital), down(VkShift), down('5'),
          up('5'), up(VkShift)},
         true},
    };
    for (const Case& c : cases) EXPECT_EQ(typed(c.text, c.layout, c.capsLock), c.events) << c.text;
}

TEST(KeystrokeEmitter, OnlyTheFrenchLayoutTypesDigitsWithShift) {
    for (const int layout : {0, 1, 2, 3, 4}) {
        const KeyEvents expected = layout == frenchKeyboardLayout
                                       ? KeyEvents{down(VkShift), down('7'), up('7'), up(VkShift)}
                                       : KeyEvents{down('7'), up('7')};
        EXPECT_EQ(typed("7", layout), expected) << "layout " << layout;
    }
}

TEST(KeystrokeEmitter, TypedLinesReadBack) {
    struct Case {
        const char* text;
        const char* readBack;
    };
    const Case cases[] = {
        {"-0.0123 inch", "-0.0123 inch"},
        {"Inch/\xB5s", "Inch/\xB5s"},
        {"50 %", "50 %"},
        {"12 ?", "12 "},
        {"123 \xB5m", "123 \xB5m"},
    };
    for (const Case& c : cases) EXPECT_EQ(describeKeys(typed(c.text)), c.readBack) << c.text;
}

TEST(KeystrokeEmitter, KeyFromName) {
    struct Case {
        const char* name;
        int key;
    };
    const Case cases[] = {
        {"Enter", 13},  {"ENTER", 13},   {"  enter  ", 13}, {"Sequenz", -1}, {"-none-", -1},  {"-nichts-", -1},
        {"CTAB", 265},  {"ctab", 265},   {"shifttab", 9},   {"support", 38}, {"Runter", 40},  {"Links", 37},
        {"Rechts", 39}, {"Hoch", 38},    {"Right", 39},     {"", -1},        {"Sequence", -1}, {"Tab", 9},
    };
    for (const Case& c : cases) EXPECT_EQ(keyFromName(c.name), c.key) << c.name;
}

TEST(KeystrokeEmitter, Sequences) {
    EXPECT_EQ(sequence("TAB,DOWN"), (KeyEvents{down(VkTab), up(VkTab), down(VkDown), up(VkDown)}));
    EXPECT_EQ(sequence("ctab,enter"), (KeyEvents{down(VkLeftControl), down(VkTab), up(VkTab), up(VkLeftControl),
                                                 down(VkReturn), up(VkReturn)}));
    EXPECT_EQ(describeKeys(sequence("ENTER,,X,UP")), "<ENTER><UP>");
    EXPECT_EQ(describeKeys(sequence(" TAB, DOWN ")), "<TAB><DOWN>");
    EXPECT_TRUE(sequence("").empty());
    EXPECT_TRUE(sequence(",").empty());
    // A token longer than the working copy is cut, not overrun: the name at its start still counts.
    const std::string longToken = "TAB" + std::string(500, ' ') + ",UP";
    EXPECT_EQ(describeKeys(sequence(longToken.c_str())), "<TAB><UP>");
}

}  // namespace
}  // namespace valbrix
