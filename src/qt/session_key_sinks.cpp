#include "qt/session_key_sinks.h"

#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <cstdlib>

#include "common/user_folder.h"
#include "export/key_sink_wayland.h"
#include "export/key_sink_xtest.h"
#include "export/keyboard_names.h"
#include "qt/key_sink_portal.h"

namespace valbrix {
namespace {

// The portal's dialog waits for the user; a request without an answer after this long counts as refused.
constexpr int portalAnswerMs = 180000;
constexpr const char* uinputPath = "/dev/uinput";

// nullptr only when xkb has no keymaps at all (xkb-data missing).
std::unique_ptr<XkbKeyboard> userKeyboard(std::string& why) {
    if (const std::string seat = seatKeymapText(); !seat.empty())
        if (std::unique_ptr<XkbKeyboard> keyboard = XkbKeyboard::fromKeymapText(seat)) return keyboard;
    if (std::unique_ptr<XkbKeyboard> keyboard = XkbKeyboard::fromNames(configuredKeyboardNames())) return keyboard;
    std::unique_ptr<XkbKeyboard> keyboard = XkbKeyboard::fromNames(KeyboardNames{});
    if (!keyboard) why = "no keyboard layout could be compiled";
    return keyboard;
}

std::unique_ptr<KeySink> openXTest(KeySinkRefusal& refusal) {
    std::unique_ptr<KeySink> sink = XTestKeySink::open();
    if (!sink) refusal.why = "no X display with the XTest extension";
    return sink;
}

std::unique_ptr<KeySink> openVirtualKeyboard(KeySinkRefusal& refusal) {
    std::unique_ptr<XkbKeyboard> keyboard = userKeyboard(refusal.why);
    return keyboard ? WaylandKeySink::open(std::move(keyboard), refusal.why) : nullptr;
}

std::unique_ptr<KeySink> openPortal(const WaylandTypingReach& reach, KeySinkRefusal& refusal) {
    std::unique_ptr<XkbKeyboard> keyboard = userKeyboard(refusal.why);
    if (!keyboard) return nullptr;
    QDir().mkpath(QFileInfo(reach.tokenFile).path());
    PortalKeySink::Outcome outcome =
        PortalKeySink::open(reach.bus, std::move(keyboard), reach.tokenFile, reach.portalAnswerMs);
    refusal.why = outcome.why;
    refusal.byUser = outcome.refused;
    return std::move(outcome.sink);
}

std::unique_ptr<KeySink> openUinput(const WaylandTypingReach& reach, KeySinkRefusal& refusal) {
    std::unique_ptr<XkbKeyboard> keyboard = userKeyboard(refusal.why);
    std::unique_ptr<UinputFile> file = keyboard ? reach.openUinput(refusal.why) : nullptr;
    return file ? UinputKeySink::open(std::move(file), std::move(keyboard), refusal.why) : nullptr;
}

SessionKeySink waylandKeySink(const WaylandTypingReach& reach) {
    SessionKeySink typing{
        chooseKeySink({{"wayland virtual keyboard", openVirtualKeyboard},
                       {"remote desktop portal", [&reach](KeySinkRefusal& refusal) { return openPortal(reach, refusal); }},
                       {"uinput", [&reach](KeySinkRefusal& refusal) { return openUinput(reach, refusal); }}}),
        text::noTyping, text::noTypingWayland};
    if (typing.chosen.refusedByUser) {
        typing.status = text::typingRefused;
        typing.advice = text::typingRefusedNotice;
    }
    return typing;
}

}  // namespace

SessionKeySink openSessionKeySink(DesktopSession session, const WaylandTypingReach& reach) {
    switch (session) {
        case DesktopSession::X11:
            return {chooseKeySink({{"xtest", openXTest}}), text::noTyping, text::noTypingX11};
        case DesktopSession::Wayland:
            return waylandKeySink(reach);
        case DesktopSession::None:
            break;
    }
    return {ChosenKeySink{}, text::noTyping, text::noTypingNoDesktop};
}

SessionKeySink openSessionKeySink() {
    const QString tokenFile = QString::fromStdString(userConfigFolder()) + "/remote-desktop.token";
    return openSessionKeySink(desktopSession(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY")),
                              {QDBusConnection::sessionBus(), tokenFile, portalAnswerMs,
                               [](std::string& why) { return openUinputFile(uinputPath, why); }});
}

}  // namespace valbrix
