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

// These keys share their scan code with another key (the arrows with the keypad's 4, 8, 6 and 2, the
// keypad's divide with the slash key, Right Alt with Alt); only the extended flag tells them apart.
constexpr BYTE extendedKeys[] = {VkLeft, VkUp, VkRight, VkDown, VkRightAlt, VkDivide};

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

}  // namespace

LayoutAnswers layoutAnswers(HKL layout) {
    return LayoutAnswers{
        [layout](BYTE virtualKey) { return static_cast<WORD>(MapVirtualKeyExA(virtualKey, MAPVK_VK_TO_VSC, layout)); },
    };
}

std::vector<INPUT> keyInputs(const KeyEvents& events, const LayoutAnswers& layout) {
    std::vector<INPUT> inputs;
    inputs.reserve(events.size());
    for (const KeyEvent& event : events) inputs.push_back(keyInput(event, layout));
    return inputs;
}

}  // namespace valbrix
