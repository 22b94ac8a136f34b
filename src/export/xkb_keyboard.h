#pragma once
// The user's keyboard as xkb describes it: which key carries the symbol of each virtual key, and the
// modifier state that pressing and releasing keys leads to. Keys are Linux input codes (KEY_M is 50),
// the numbers that the compositor, the desktop portal and uinput all take.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "export/key_event.h"

namespace valbrix {

// A keymap by its names, as a keyboard configuration gives them ("de", "nodeadkeys" ...); an empty
// name takes xkb's default.
struct KeyboardNames {
    std::string model;
    std::string layout;
    std::string variant;
    std::string options;

    bool operator==(const KeyboardNames&) const = default;
};

class XkbKeyboard {
public:
    struct Modifiers {
        std::uint32_t depressed = 0;
        std::uint32_t latched = 0;
        std::uint32_t locked = 0;
        std::uint32_t group = 0;

        bool operator==(const Modifiers&) const = default;
    };

    // nullptr when xkb cannot compile a keymap from the text or the names.
    static std::unique_ptr<XkbKeyboard> fromKeymapText(const std::string& text);
    static std::unique_ptr<XkbKeyboard> fromNames(const KeyboardNames& names);
    ~XkbKeyboard();
    XkbKeyboard(const XkbKeyboard&) = delete;
    XkbKeyboard& operator=(const XkbKeyboard&) = delete;

    // The key that carries the virtual key's symbol at the lowest shift level of the first layout,
    // as a window system looks a symbol up; 0 when the keymap has no such key.
    std::uint32_t inputCode(std::uint8_t virtualKey) const;
    // The keymap as text, for handing it to the compositor.
    std::string keymapText() const;
    // The modifier state once the key has gone down (or up).
    Modifiers press(std::uint32_t inputCode, bool down);
    // Back to no key down.
    void reset();

private:
    struct Xkb;
    explicit XkbKeyboard(std::unique_ptr<Xkb> xkb);
    std::unique_ptr<Xkb> xkb;
    std::uint32_t codes[256] = {};
};

// Sends the events as the keys of the keyboard, in order; a virtual key the layout has no key for is
// skipped, press and release alike, and returned. Whatever the list pressed and left down is released
// at the end.
UntypedKeys sendAsKeys(const KeyEvents& events, const XkbKeyboard& keyboard,
                const std::function<void(std::uint32_t code, bool down)>& send);

}  // namespace valbrix
