// The emitter's keys must be the numbers Windows gives them: the Windows sink hands them to
// keybd_event as they are, and every other sink maps them as Windows keys.
#include "export/keystroke_emitter.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace valbrix {
namespace {

// The first key the emitter presses for a text, or for a key sequence.
int firstTyped(const char* text) {
    KeyEvents events;
    typeText(events, text, 1);
    return events.empty() ? -1 : events.front().virtualKey;
}
int firstOfSequence(const char* sequence) {
    KeyEvents events;
    sendSequence(events, sequence);
    return events.empty() ? -1 : events.front().virtualKey;
}

struct SentKey {
    const char* what;
    int sent;
    int windowsNumber;
};

const SentKey sentKeys[] = {
    {"TAB", firstOfSequence("TAB"), 9},
    {"ENTER", firstOfSequence("ENTER"), 13},
    {"Shift", firstTyped("A"), 16},
    {"space", firstTyped(" "), 32},
    {"LEFT", firstOfSequence("LEFT"), 37},
    {"UP", firstOfSequence("UP"), 38},
    {"RIGHT", firstOfSequence("RIGHT"), 39},
    {"DOWN", firstOfSequence("DOWN"), 40},
    {"0", firstTyped("0"), 48},
    {"9", firstTyped("9"), 57},
    {"A", firstTyped("a"), 65},
    {"Z", firstTyped("z"), 90},
    {"keypad divide", firstTyped("/"), 111},
    {"left Ctrl", firstOfSequence("CTAB"), 162},
    {"AltGr", firstTyped("\xB5"), 165},
    {"plus", firstTyped("+"), 187},
    {"comma", firstTyped(","), 188},
    {"minus", firstTyped("-"), 189},
    {"period", firstTyped("."), 190},
};

TEST(VirtualKeys, EveryKeyTheEmitterSendsHasItsWindowsNumber) {
    for (const SentKey& key : sentKeys) EXPECT_EQ(key.sent, key.windowsNumber) << key.what;
}

#ifdef _WIN32
TEST(VirtualKeys, TheNumbersAreThoseOfTheWindowsHeaders) {
    // In the order of sentKeys.
    const int defined[] = {VK_TAB,    VK_RETURN, VK_SHIFT,    VK_SPACE,     VK_LEFT,      VK_UP,        VK_RIGHT,
                           VK_DOWN,   '0',       '9',         'A',          'Z',          VK_DIVIDE,    VK_LCONTROL,
                           VK_RMENU,  VK_OEM_PLUS, VK_OEM_COMMA, VK_OEM_MINUS, VK_OEM_PERIOD};
    static_assert(std::size(defined) == std::size(sentKeys));
    for (std::size_t i = 0; i < std::size(sentKeys); ++i)
        EXPECT_EQ(sentKeys[i].sent, defined[i]) << sentKeys[i].what;
}
#endif

}  // namespace
}  // namespace valbrix
