#pragma once
// What is typed is data: a list of key events. The emitter builds the list, and a small sink per
// platform delivers it, so every keystroke rule can be checked without a keyboard.

#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

namespace valbrix {

// Windows virtual-key codes; every platform's sink maps them to its own keys. The names differ from
// <windows.h>'s VK_ macros, so a file may include that header before or after this one.
enum VirtualKey : std::uint8_t {
    VkTab = 9,
    VkReturn = 13,
    VkShift = 16,
    VkCapital = 20,  // Caps Lock
    VkSpace = 32,
    VkLeft = 37,
    VkUp = 38,
    VkRight = 39,
    VkDown = 40,
    VkDivide = 111,
    VkLeftControl = 162,
    VkRightAlt = 165,
    VkOemPlus = 187,
    VkOemComma = 188,
    VkOemMinus = 189,
    VkOemPeriod = 190,
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
    // The events go out in order, without pause unless a key delay is set; a sink never leaves a key
    // pressed that the list releases. A key the layout cannot type is left out, and returned so that
    // the user can be told.
    virtual UntypedKeys deliver(const KeyEvents& events) = 0;

    // Some receivers (web spreadsheets, remote-desktop windows) drop keys that come back to back: the
    // sink then waits this long after every key event it sends, the releases it adds at the end of a
    // list included. Set once, before the first delivery.
    void setKeyDelay(int milliseconds) { keyDelayMs = milliseconds; }
    int keyDelay() const { return keyDelayMs; }

protected:
    void pauseAfterKey() const {
        if (keyDelayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(keyDelayMs));
    }

    // Classic X11 programs, LibreOffice among them, take the release of a key and a press of the same
    // key with one time stamp for the key repeating, and drop the press: "4.55" would arrive as "4.5",
    // "mm" as "m". So a press of the key whose release went out just before reaches the receiver at
    // least this long after it; no other event waits.
    static constexpr int repeatGapMs = 1;

    // Asked for every event a sink sends, with the sink's own number of the key: true when the event
    // presses the key whose release was the event just before.
    bool pressRepeatsRelease(std::uint32_t key, bool press) {
        const bool repeats = press && justReleased == key;
        justReleased = press ? noKey : key;
        return repeats;
    }

    // The gap before such a press, for a sink whose receiver stamps each event as it arrives; a key
    // delay already leaves it.
    void pauseBeforeRepeatedPress() const {
        if (keyDelayMs < repeatGapMs) std::this_thread::sleep_for(std::chrono::milliseconds(repeatGapMs));
    }

private:
    static constexpr std::uint32_t noKey = 0xFFFFFFFF;
    int keyDelayMs = 0;
    std::uint32_t justReleased = noKey;
};

}  // namespace valbrix
