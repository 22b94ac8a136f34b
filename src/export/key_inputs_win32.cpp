#include "export/key_inputs_win32.h"

#include <algorithm>
#include <iterator>

namespace valbrix {

// The core's key codes are the Windows ones; SendInput takes them as they are.
static_assert(VkTab == VK_TAB && VkReturn == VK_RETURN && VkShift == VK_SHIFT && VkSpace == VK_SPACE);
static_assert(VkLeft == VK_LEFT && VkUp == VK_UP && VkRight == VK_RIGHT && VkDown == VK_DOWN);
static_assert(VkDivide == VK_DIVIDE && VkLeftControl == VK_LCONTROL && VkRightAlt == VK_RMENU);
static_assert(VkOemPlus == VK_OEM_PLUS && VkOemComma == VK_OEM_COMMA && VkOemMinus == VK_OEM_MINUS &&
              VkOemPeriod == VK_OEM_PERIOD);
static_assert(KeyEventRelease == KEYEVENTF_KEYUP);

namespace {

constexpr WCHAR micro = 0x00B5;

// The modifier byte of VkKeyScanEx for Ctrl+Alt, Windows' AltGr.
constexpr int ctrlAlt = 6;

// These keys share their scan code with another key (the arrows with the keypad's 4, 8, 6 and 2, the
// keypad's divide with the slash key, Right Alt with Alt); only the extended flag tells them apart.
constexpr BYTE extendedKeys[] = {VkLeft, VkUp, VkRight, VkDown, VkRightAlt, VkDivide};

// How the emitter types µ. Only the keys and their directions are compared: the scan fields are the
// emitter's own and never go out.
constexpr KeyEvent altGrM[] = {
    {VkRightAlt, 0, KeyEventPress},
    {'M', 0, KeyEventPress},
    {'M', 0, KeyEventRelease},
    {VkRightAlt, 0, KeyEventRelease},
};

bool sameKey(const KeyEvent& a, const KeyEvent& b) { return a.virtualKey == b.virtualKey && a.flags == b.flags; }

bool startsWithAltGrM(KeyEvents::const_iterator from, KeyEvents::const_iterator end) {
    return end - from >= std::ssize(altGrM) && std::equal(std::begin(altGrM), std::end(altGrM), from, sameKey);
}

INPUT keyInput(const KeyEvent& event, const LayoutAnswers& layout) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = event.virtualKey;
    input.ki.wScan = layout.scanCode(event.virtualKey);
    input.ki.dwFlags = event.flags;
    if (std::ranges::find(extendedKeys, event.virtualKey) != std::end(extendedKeys))
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    return input;
}

INPUT characterInput(WCHAR character, DWORD direction) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = character;
    input.ki.dwFlags = KEYEVENTF_UNICODE | direction;
    return input;
}

}  // namespace

// The character is looked up as Unicode: the byte 0xB5 is µ only in some ANSI code pages.
LayoutAnswers layoutAnswers(HKL layout) {
    return LayoutAnswers{
        [layout](BYTE virtualKey) { return static_cast<WORD>(MapVirtualKeyExA(virtualKey, MAPVK_VK_TO_VSC, layout)); },
        typesMuWithAltGrM(VkKeyScanExW(micro, layout)),
    };
}

bool typesMuWithAltGrM(SHORT keyScan) { return LOBYTE(keyScan) == 'M' && HIBYTE(keyScan) == ctrlAlt; }

std::vector<INPUT> keyInputs(const KeyEvents& events, const LayoutAnswers& layout) {
    std::vector<INPUT> inputs;
    inputs.reserve(events.size());
    for (auto event = events.begin(); event != events.end();) {
        if (!layout.muIsAltGrM && startsWithAltGrM(event, events.end())) {
            inputs.push_back(characterInput(micro, KeyEventPress));
            inputs.push_back(characterInput(micro, KEYEVENTF_KEYUP));
            event += std::ssize(altGrM);
        } else {
            inputs.push_back(keyInput(*event, layout));
            ++event;
        }
    }
    return inputs;
}

}  // namespace valbrix
