#pragma once
// What is typed is data: a list of key events. The emitter builds the list, and a small sink per
// platform delivers it, so every keystroke rule can be checked without a keyboard.

#include <cstdint>
#include <vector>

namespace valbrix {

// Windows virtual-key codes; every platform's sink maps them to its own keys.
enum VirtualKey : std::uint8_t {
    VK_TAB = 9,
    VK_RETURN = 13,
    VK_SHIFT = 16,
    VK_SPACE = 32,
    VK_LEFT = 37,
    VK_UP = 38,
    VK_RIGHT = 39,
    VK_DOWN = 40,
    VK_DIVIDE = 111,
    VK_LCONTROL = 162,
    VK_RMENU = 165,
    VK_OEM_PLUS = 187,
    VK_OEM_COMMA = 188,
    VK_OEM_MINUS = 189,
    VK_OEM_PERIOD = 190,
};

inline constexpr std::uint32_t KeyEventPress = 0;
inline constexpr std::uint32_t KeyEventRelease = 2;  // KEYEVENTF_KEYUP

struct KeyEvent {
    std::uint8_t virtualKey = 0;
    std::uint8_t scanCode = 0;  // the virtual-key code again, but 18 for AltGr
    std::uint32_t flags = KeyEventPress;

    bool operator==(const KeyEvent&) const = default;
};

using KeyEvents = std::vector<KeyEvent>;

// Virtual keys that no key of the current keyboard layout carries, each named once.
using UntypedKeys = std::vector<std::uint8_t>;

// Delivers key events to whatever has the keyboard focus.
class KeySink {
public:
    virtual ~KeySink() = default;
    // The events go out in order and without pause; a sink never leaves a key pressed that the list
    // releases. A key the layout cannot type is left out, and returned so that the user can be told.
    virtual UntypedKeys deliver(const KeyEvents& events) = 0;
};

}  // namespace valbrix
