#include "export/x11_desk.h"

// Before the X headers, whose None is a macro.
#include "export/typing_guard.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace valbrix {
namespace {

Display* asDisplay(void* display) { return static_cast<Display*>(display); }

struct NamedHold {
    const char* name;
    std::uint8_t held;
};

// The names xkeyboard-config gives the virtual modifiers of these keys.
constexpr NamedHold namedHolds[] = {
    {"Alt", HeldAlt},          {"Meta", HeldAlt},        {"LevelThree", HeldAltGr}, {"AltGr", HeldAltGr},
    {"ModeSwitch", HeldAltGr}, {"LevelFive", HeldAltGr}, {"Super", HeldSuper},      {"Hyper", HeldSuper},
};

std::vector<VirtualModifier> virtualModifiers(Display* display) {
    std::vector<VirtualModifier> found;
    XkbDescPtr keyboard = XkbGetMap(display, XkbVirtualModsMask, XkbUseCoreKbd);
    if (keyboard == nullptr) return found;
    if (XkbGetNames(display, XkbVirtualModNamesMask, keyboard) == Success && keyboard->names != nullptr) {
        for (int i = 0; i < XkbNumVirtualMods; ++i) {
            if (keyboard->names->vmods[i] == None) continue;
            char* name = XGetAtomName(display, keyboard->names->vmods[i]);
            if (name == nullptr) continue;
            found.push_back({name, keyboard->server->vmods[i]});
            XFree(name);
        }
    }
    XkbFreeKeyboard(keyboard, 0, True);
    return found;
}

}  // namespace

std::uint8_t heldKeysOf(unsigned realMods, const std::vector<VirtualModifier>& keymap) {
    std::uint8_t held = 0;
    if (realMods & ShiftMask) held |= HeldShift;
    if (realMods & ControlMask) held |= HeldCtrl;
    for (const VirtualModifier& modifier : keymap)
        for (const NamedHold& named : namedHolds)
            if (modifier.name == named.name && (modifier.realMods & realMods) != 0) held |= named.held;
    return held;
}

std::unique_ptr<X11Desk> X11Desk::open() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return nullptr;
    int opcode = 0, event = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (!XkbQueryExtension(display, &opcode, &event, &error, &major, &minor)) {
        XCloseDisplay(display);
        return nullptr;
    }
    int saverEvent = 0, saverError = 0;
    const bool saver = XScreenSaverQueryExtension(display, &saverEvent, &saverError) != False;
    return std::unique_ptr<X11Desk>(new X11Desk(display, virtualModifiers(display), saver));
}

X11Desk::~X11Desk() { XCloseDisplay(asDisplay(display)); }

std::uint8_t X11Desk::heldKeys() {
    XkbStateRec state{};
    if (XkbGetState(asDisplay(display), XkbUseCoreKbd, &state) != Success) return 0;
    return heldKeysOf(static_cast<unsigned>(state.base_mods | state.latched_mods), keymap);
}

bool X11Desk::capsLock() {
    XkbStateRec state{};
    if (XkbGetState(asDisplay(display), XkbUseCoreKbd, &state) != Success) return false;
    return (state.locked_mods & LockMask) != 0;
}

bool X11Desk::screenSaverOn() {
    if (!hasScreenSaver) return false;
    XScreenSaverInfo info{};
    if (!XScreenSaverQueryInfo(asDisplay(display), DefaultRootWindow(asDisplay(display)), &info)) return false;
    return info.state == ScreenSaverOn;
}

}  // namespace valbrix
