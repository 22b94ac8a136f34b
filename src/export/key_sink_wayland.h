#pragma once
// Key events through the compositor's virtual-keyboard protocol (zwp_virtual_keyboard_manager_v1,
// offered by wlroots compositors such as sway). The sink's keyboard carries the user's keymap, so each
// virtual key becomes the key of the user's layout with the same symbol, and the character that
// arrives is the one that layout puts on that key. The protocol leaves the modifier state to the
// client: the sink works it out with xkb and tells the compositor after every key.

#include <memory>
#include <string>

#include "export/key_event.h"
#include "export/xkb_keyboard.h"

namespace valbrix {

struct WaylandConnection;

// The keymap the compositor hands to its clients for the seat's keyboard; empty when there is no
// Wayland display or no keyboard on the seat.
std::string seatKeymapText();

class WaylandKeySink final : public KeySink {
public:
    // nullptr, with the reason in why, when there is no Wayland display or it offers no virtual
    // keyboard.
    static std::unique_ptr<WaylandKeySink> open(std::unique_ptr<XkbKeyboard> keyboard, std::string& why);
    ~WaylandKeySink() override;
    WaylandKeySink(const WaylandKeySink&) = delete;
    WaylandKeySink& operator=(const WaylandKeySink&) = delete;

    // Waits until the compositor has taken the events, and releases at the end whatever the list
    // pressed and left down.
    UntypedKeys deliver(const KeyEvents& events) override;

private:
    WaylandKeySink(std::unique_ptr<WaylandConnection> connection, std::unique_ptr<XkbKeyboard> keyboard);
    void send(std::uint32_t code, bool down);

    std::unique_ptr<WaylandConnection> connection;  // used by the export thread alone once open
    std::unique_ptr<XkbKeyboard> keyboard;
    XkbKeyboard::Modifiers modifiers;
};

}  // namespace valbrix
