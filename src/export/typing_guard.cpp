#include "export/typing_guard.h"

namespace valbrix {

// A locked screen first: the user is away, and whatever else is said would not be read there.
TypingHold typingHold(const DeskState& desk) {
    if (desk.sessionLocked) return TypingHold::Locked;
    if (desk.sessionInactive) return TypingHold::Inactive;
    if (desk.ownWindowActive) return TypingHold::OwnWindow;
    if (desk.heldKeys != 0) return TypingHold::HeldKey;
    return TypingHold::None;
}

const LocalizedText& holdText(TypingHold hold) {
    switch (hold) {
        case TypingHold::Locked: return text::lockedHold;
        case TypingHold::Inactive: return text::inactiveHold;
        case TypingHold::OwnWindow: return text::ownWindowHold;
        case TypingHold::HeldKey: return text::heldKeyHold;
        case TypingHold::None: break;
    }
    return text::active;
}

}  // namespace valbrix
