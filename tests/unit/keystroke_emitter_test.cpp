#include "export/keystroke_emitter.h"

#include <gtest/gtest.h>

#include <string>

#include "export/key_text.h"

namespace valbrix {
namespace {

KeyEvent down(std::uint8_t key, std::uint8_t scan = 0) { return {key, scan == 0 ? key : scan, KeyEventPress}; }
KeyEvent up(std::uint8_t key, std::uint8_t scan = 0) { return {key, scan == 0 ? key : scan, KeyEventRelease}; }

KeyEvents typed(const char* text, int layout = 1) {
    KeyEvents events;
    typeText(events, text, layout);
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
    };
    const Case cases[] = {
        {"12,5 mm", 1,
         {down('1'), up('1'), down('2'), up('2'), down(VK_OEM_COMMA), up(VK_OEM_COMMA), down('5'), up('5'),
          down(VK_SPACE), up(VK_SPACE), down('M'), up('M'), down('M'), up('M')}},
        {"12,5", 3,
         {down(VK_SHIFT), down('1'), up('1'), up(VK_SHIFT), down(VK_SHIFT), down('2'), up('2'), up(VK_SHIFT),
          down(VK_OEM_COMMA), up(VK_OEM_COMMA), down(VK_SHIFT), down('5'), up('5'), up(VK_SHIFT)}},
        {"\xB5", 1, {down(VK_RMENU, 18), down('M'), up('M'), up(VK_RMENU, 18)}},
        {"I/", 1, {down(VK_SHIFT), down('I'), up('I'), up(VK_SHIFT), down(VK_DIVIDE), up(VK_DIVIDE)}},
        {"%", 3, {down(VK_SHIFT), down('5'), up('5'), up(VK_SHIFT)}},
        {"-+.", 1,
         {down(VK_OEM_MINUS), up(VK_OEM_MINUS), down(VK_OEM_PLUS), up(VK_OEM_PLUS), down(VK_OEM_PERIOD),
          up(VK_OEM_PERIOD)}},
        {"?#(\xE4\xFC\n", 1, {}},  // outside the table: skipped
        {"", 1, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(typed(c.text, c.layout), c.events) << c.text;
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
    EXPECT_EQ(sequence("TAB,DOWN"), (KeyEvents{down(VK_TAB), up(VK_TAB), down(VK_DOWN), up(VK_DOWN)}));
    EXPECT_EQ(sequence("ctab,enter"), (KeyEvents{down(VK_LCONTROL), down(VK_TAB), up(VK_TAB), up(VK_LCONTROL),
                                                 down(VK_RETURN), up(VK_RETURN)}));
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
