#pragma once
// The ways of typing on the desktop the program runs on, in the order they are tried: XTest on X11;
// on Wayland the compositor's virtual keyboard, the RemoteDesktop portal and a uinput keyboard. Each
// types with the user's layout: the seat's keymap where the compositor hands it over, otherwise the
// layout configured for the system. A user who refuses the portal's request has refused typing: the
// uinput keyboard after it is not tried.

#include <QDBusConnection>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "common/localized_text.h"
#include "export/key_sink_choice.h"
#include "export/key_sink_uinput.h"

namespace valbrix {

struct SessionKeySink {
    ChosenKeySink chosen;
    // When no sink could be had: the status line's text and what the user can do about it.
    LocalizedText status;
    LocalizedText advice;
};

// What the ways of typing on Wayland reach: the system's own in the program, stand-ins in the tests.
struct WaylandTypingReach {
    QDBusConnection bus;  // where the portal is asked
    QString tokenFile;    // the portal's restore token between starts
    int portalAnswerMs;   // how long the user may take to answer the portal's dialog
    std::function<std::unique_ptr<UinputFile>(std::string& why)> openUinput;
};

// May wait for the user's answer in the portal's dialog; runs the event loop meanwhile.
SessionKeySink openSessionKeySink(DesktopSession session, const WaylandTypingReach& reach);
// The same for the session of the environment, with the system's bus, folder and /dev/uinput.
SessionKeySink openSessionKeySink();

}  // namespace valbrix
