#pragma once
// A keyboard wedge does harm only where its keys land unmeant: in the program's own window, behind a
// lock screen (where every reading with Enter is a failed unlock), or under a key the user holds
// (Ctrl turns "4,56 mm" into shortcuts). So before every value the export loop asks the host how the
// desk stands, and types only when nothing stands in the way; otherwise the values wait in the ring,
// in order, and the user is told why. The decision is made here, once for every platform; each host
// only answers what it can see.

#include <cstdint>

#include "common/localized_text.h"

namespace valbrix {

// Modifier keys the user holds down, as bits. Shift counts too: a user's Shift turns digits into
// symbols and Enter into Shift+Enter; the only Shift a value may meet is the one its own events press.
enum HeldKey : std::uint8_t {
    HeldShift = 1,
    HeldCtrl = 2,
    HeldAlt = 4,
    HeldAltGr = 8,
    HeldSuper = 16,  // the Windows key
};

// The desk as the host sees it at the moment of asking. What a host cannot know it answers with the
// default, which lets the value through.
struct DeskState {
    bool ownWindowActive = false;  // one of the program's windows, boxes or menus has the keyboard
    bool sessionLocked = false;    // the screen is locked (or its screen saver runs)
    bool sessionInactive = false;  // another session has the screen and keyboard, or none is connected
    std::uint8_t heldKeys = 0;     // HeldKey bits
    bool capsLock = false;         // letters then come out in the other case unless compensated

    bool operator==(const DeskState&) const = default;
};

// The host's answers. Asked on the export thread before every value, between two values and never in
// the middle of one; an answer must not wait for the user-interface thread (that thread may itself be
// waiting for the value being typed).
class TypingHost {
public:
    virtual ~TypingHost() = default;
    virtual DeskState deskState() = 0;
};

// Where nothing stands in the way: a program that prints the keys instead of typing them.
class OpenDesk final : public TypingHost {
public:
    DeskState deskState() override { return {}; }
};

// Why the values wait; None when they may be typed.
enum class TypingHold : std::uint8_t { None, Locked, Inactive, OwnWindow, HeldKey };

// The guard's decision: the first reason that applies, in the order of TypingHold.
TypingHold typingHold(const DeskState& desk);

// What the status line and the tray tip say while values wait for that reason.
const LocalizedText& holdText(TypingHold hold);

}  // namespace valbrix
