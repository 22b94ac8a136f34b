#include "export/keystroke_emitter.h"

#include <cstring>

#include "common/text.h"

namespace valbrix {
namespace {

// AltGr goes out as the right Alt key with the scan code of Alt.
constexpr std::uint8_t altGrScanCode = 18;

void event(KeyEvents& out, std::uint8_t key, std::uint32_t flags, std::uint8_t scanCode) {
    out.push_back(KeyEvent{key, scanCode, flags});
}

void shifted(KeyEvents& out, int virtualKey) {
    event(out, VkShift, KeyEventPress, VkShift);
    pressKey(out, virtualKey);
    event(out, VkShift, KeyEventRelease, VkShift);
}

struct PlainKey {
    char character;
    std::uint8_t virtualKey;
};

constexpr PlainKey plainKeys[] = {
    {',', VkOemComma}, {'.', VkOemPeriod}, {'-', VkOemMinus},
    {'+', VkOemPlus},  {' ', VkSpace},     {'/', VkDivide},
};

void typeCharacter(KeyEvents& out, char c, int keyboardLayout, bool capsLock) {
    if (c >= '0' && c <= '9') {
        if (keyboardLayout == frenchKeyboardLayout) shifted(out, c);
        else pressKey(out, c);
    } else if (c >= 'a' && c <= 'z') {
        if (capsLock) shifted(out, c - 'a' + 'A');
        else pressKey(out, c - 'a' + 'A');
    } else if (c >= 'A' && c <= 'Z') {
        if (capsLock) pressKey(out, c);
        else shifted(out, c);
    } else if (c == '%') {
        shifted(out, '5');
    } else if (c == '\xB5') {
        // Caps Lock makes AltGr+M the capital Greek Mu, and Shift does not turn it back (it reaches
        // the key's fourth level): Caps Lock is let go for the µ and set again after it.
        if (capsLock) pressKey(out, VkCapital);
        event(out, VkRightAlt, KeyEventPress, altGrScanCode);
        pressKey(out, 'M');
        event(out, VkRightAlt, KeyEventRelease, altGrScanCode);
        if (capsLock) pressKey(out, VkCapital);
    } else {
        for (const PlainKey& key : plainKeys) {
            if (key.character == c) {
                pressKey(out, key.virtualKey);
                return;
            }
        }
    }
}

struct KeyName {
    const char* name;
    int key;
};

// Tested in this order with a search anywhere in the text: CTAB before TAB, so Ctrl+Tab is not
// taken for Tab.
constexpr KeyName keyNames[] = {
    {"CTAB", WithCtrl | VkTab}, {"LEFT", VkLeft}, {"RIGHT", VkRight},  {"UP", VkUp},
    {"DOWN", VkDown},           {"TAB", VkTab},   {"ENTER", VkReturn}, {"LINKS", VkLeft},
    {"RECHTS", VkRight},        {"HOCH", VkUp},   {"RUNTER", VkDown},
};

// Key names are compared in a working copy of this size; a longer token is cut.
constexpr std::size_t keyNameSize = 99;

}  // namespace

void pressKey(KeyEvents& out, int virtualKey) {
    const auto key = static_cast<std::uint8_t>(virtualKey);
    event(out, key, KeyEventPress, key);
    event(out, key, KeyEventRelease, key);
}

void typeText(KeyEvents& out, const char* text, int keyboardLayout, bool capsLock) {
    for (; *text != '\0'; ++text) typeCharacter(out, *text, keyboardLayout, capsLock);
}

int keyFromName(const char* name) {
    const UpperText upper = upperCopy(name);
    for (const KeyName& entry : keyNames)
        if (find(upper.text, entry.name) >= 0) return entry.key;
    return NoKey;
}

void sendSequence(KeyEvents& out, const char* sequence) {
    const char* tokenStart = sequence;
    for (const char* p = sequence;; ++p) {
        if (*p != ',' && *p != '\0') continue;
        char token[keyNameSize + 1];
        const auto length = static_cast<std::size_t>(p - tokenStart);
        copyPrefix(token, tokenStart, length < keyNameSize ? length : keyNameSize);
        const int key = keyFromName(token);
        if (key != NoKey) {
            const bool ctrl = (key & WithCtrl) != 0;
            if (ctrl) event(out, VkLeftControl, KeyEventPress, VkLeftControl);
            pressKey(out, key & 0xFF);
            if (ctrl) event(out, VkLeftControl, KeyEventRelease, VkLeftControl);
        }
        if (*p == '\0') break;
        tokenStart = p + 1;
    }
}

}  // namespace valbrix
