#pragma once
// What the X server knows of the desk: the modifier keys held down (depressed or latched in the
// server's XKB state, whoever's window has the focus) and Caps Lock, and whether the screen saver
// runs, which on a desktop without logind is the sign of a locked screen.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace valbrix {

// A virtual modifier of the keymap by name ("Alt", "LevelThree") with the real modifiers it is bound to.
struct VirtualModifier {
    std::string name;
    unsigned realMods;
};

// HeldKey bits for the real modifiers held: Shift and Control by their own bits, Alt, AltGr and the
// Windows key by the real modifiers the keymap binds their virtual modifiers to. Num Lock and the like
// are none of them.
std::uint8_t heldKeysOf(unsigned realMods, const std::vector<VirtualModifier>& keymap);

class X11Desk {
public:
    // nullptr without a display or its XKB extension. Its connection is its own: after this, one thread
    // may use it.
    static std::unique_ptr<X11Desk> open();
    ~X11Desk();
    X11Desk(const X11Desk&) = delete;
    X11Desk& operator=(const X11Desk&) = delete;

    std::uint8_t heldKeys();
    bool capsLock();
    bool screenSaverOn();

private:
    X11Desk(void* display, std::vector<VirtualModifier> keymap, bool hasScreenSaver)
        : display(display), keymap(std::move(keymap)), hasScreenSaver(hasScreenSaver) {}
    void* display;
    const std::vector<VirtualModifier> keymap;
    const bool hasScreenSaver;
};

}  // namespace valbrix
