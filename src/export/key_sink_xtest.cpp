#include "export/key_sink_xtest.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <vector>

#include "export/virtual_key_symbols.h"

namespace valbrix {
namespace {

Display* asDisplay(void* display) { return static_cast<Display*>(display); }

}  // namespace

std::unique_ptr<XTestKeySink> XTestKeySink::open(const char* displayName) {
    Display* display = XOpenDisplay(displayName);
    if (display == nullptr) return nullptr;
    int eventBase, errorBase, major, minor;
    if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)) {
        XCloseDisplay(display);
        return nullptr;
    }
    return std::unique_ptr<XTestKeySink>(new XTestKeySink(display));
}

XTestKeySink::~XTestKeySink() { XCloseDisplay(asDisplay(display)); }

UntypedKeys XTestKeySink::deliver(const KeyEvents& events) {
    Display* x = asDisplay(display);
    std::vector<KeyCode> down;
    UntypedKeys untyped;
    for (const KeyEvent& event : events) {
        const KeySym keysym = keysymForVirtualKey(event.virtualKey);
        // A symbol the current map does not carry cannot be typed; its press and release both go.
        const KeyCode keycode = keysym == NoSymbol ? 0 : XKeysymToKeycode(x, keysym);
        if (keycode == 0) {
            if (std::find(untyped.begin(), untyped.end(), event.virtualKey) == untyped.end())
                untyped.push_back(event.virtualKey);
            continue;
        }
        const bool press = event.flags == KeyEventPress;
        send(keycode, press);
        if (press) {
            down.push_back(keycode);
        } else {
            std::erase(down, keycode);
        }
    }
    for (const KeyCode keycode : down) send(keycode, false);
    return untyped;
}

// The server stamps each event when it carries it out; the delay makes it carry out a press of the key
// just released a millisecond later, without the program waiting.
void XTestKeySink::send(unsigned keycode, bool press) {
    Display* x = asDisplay(display);
    const unsigned long delayMs = pressRepeatsRelease(keycode, press) ? repeatGapMs : 0;
    XTestFakeKeyEvent(x, keycode, press ? True : False, delayMs);
    XFlush(x);
    pauseAfterKey();
}

}  // namespace valbrix
