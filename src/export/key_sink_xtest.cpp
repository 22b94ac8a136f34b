#include "export/key_sink_xtest.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <vector>

namespace valbrix {
namespace {

struct KeysymRow {
    std::uint8_t virtualKey;
    KeySym keysym;
};

constexpr KeysymRow keysyms[] = {
    {VK_TAB, XK_Tab},         {VK_RETURN, XK_Return},         {VK_SHIFT, XK_Shift_L},
    {VK_SPACE, XK_space},     {VK_LEFT, XK_Left},             {VK_UP, XK_Up},
    {VK_RIGHT, XK_Right},     {VK_DOWN, XK_Down},             {VK_DIVIDE, XK_KP_Divide},
    {VK_LCONTROL, XK_Control_L}, {VK_RMENU, XK_ISO_Level3_Shift}, {VK_OEM_PLUS, XK_plus},
    {VK_OEM_COMMA, XK_comma}, {VK_OEM_MINUS, XK_minus},       {VK_OEM_PERIOD, XK_period},
};

Display* asDisplay(void* display) { return static_cast<Display*>(display); }

}  // namespace

unsigned long keysymForVirtualKey(std::uint8_t virtualKey) {
    if (virtualKey >= 'A' && virtualKey <= 'Z') return XK_a + (virtualKey - 'A');
    if (virtualKey >= '0' && virtualKey <= '9') return XK_0 + (virtualKey - '0');
    for (const KeysymRow& row : keysyms)
        if (row.virtualKey == virtualKey) return row.keysym;
    return NoSymbol;
}

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
        XTestFakeKeyEvent(x, keycode, press ? True : False, CurrentTime);
        XFlush(x);
        if (press) {
            down.push_back(keycode);
        } else {
            std::erase(down, keycode);
        }
    }
    for (const KeyCode keycode : down) XTestFakeKeyEvent(x, keycode, False, CurrentTime);
    XFlush(x);
    return untyped;
}

}  // namespace valbrix
