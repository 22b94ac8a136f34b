#pragma once
// The ways of typing on the desktop the program runs on, in the order they are tried: XTest on X11;
// on Wayland the compositor's virtual keyboard, the RemoteDesktop portal and a uinput keyboard. Each
// types with the user's layout: the seat's keymap where the compositor hands it over, otherwise the
// layout configured for the system.

#include "common/localized_text.h"
#include "export/key_sink_choice.h"

namespace valbrix {

struct SessionKeySink {
    ChosenKeySink chosen;
    LocalizedText advice;  // what the user can do when no sink could be had
};

// May wait for the user's answer in the portal's dialog; runs the event loop meanwhile.
SessionKeySink openSessionKeySink();

}  // namespace valbrix
