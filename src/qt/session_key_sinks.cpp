#include "qt/session_key_sinks.h"

#include <QDBusConnection>
#include <QDir>
#include <cstdlib>

#include "common/user_folder.h"
#include "export/key_sink_uinput.h"
#include "export/key_sink_wayland.h"
#include "export/key_sink_xtest.h"
#include "export/keyboard_names.h"
#include "qt/key_sink_portal.h"

namespace valbrix {
namespace {

// The portal's dialog waits for the user; after this long without an answer the next way is tried.
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

std::unique_ptr<KeySink> openXTest(std::string& why) {
    std::unique_ptr<KeySink> sink = XTestKeySink::open();
    if (!sink) why = "no X display with the XTest extension";
    return sink;
}

std::unique_ptr<KeySink> openVirtualKeyboard(std::string& why) {
    std::unique_ptr<XkbKeyboard> keyboard = userKeyboard(why);
    return keyboard ? WaylandKeySink::open(std::move(keyboard), why) : nullptr;
}

std::unique_ptr<KeySink> openPortal(std::string& why) {
    std::unique_ptr<XkbKeyboard> keyboard = userKeyboard(why);
    if (!keyboard) return nullptr;
    const QString folder = QString::fromStdString(userConfigFolder());
    QDir().mkpath(folder);
    PortalKeySink::Outcome outcome = PortalKeySink::open(QDBusConnection::sessionBus(), std::move(keyboard),
                                                         folder + "/remote-desktop.token", portalAnswerMs);
    why = outcome.why;
    return std::move(outcome.sink);
}

std::unique_ptr<KeySink> openUinput(std::string& why) {
    std::unique_ptr<XkbKeyboard> keyboard = userKeyboard(why);
    std::unique_ptr<UinputFile> file = keyboard ? openUinputFile(uinputPath, why) : nullptr;
    return file ? UinputKeySink::open(std::move(file), std::move(keyboard), why) : nullptr;
}

}  // namespace

SessionKeySink openSessionKeySink() {
    switch (desktopSession(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"))) {
        case DesktopSession::X11:
            return {chooseKeySink({{"xtest", openXTest}}), text::noTypingX11};
        case DesktopSession::Wayland:
            return {chooseKeySink({{"wayland virtual keyboard", openVirtualKeyboard},
                                   {"remote desktop portal", openPortal},
                                   {"uinput", openUinput}}),
                    text::noTypingWayland};
        case DesktopSession::None:
            break;
    }
    return {ChosenKeySink{}, text::noTypingNoDesktop};
}

}  // namespace valbrix
