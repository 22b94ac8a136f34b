#pragma once
// A window of the test's own on the X server: it takes the keyboard focus and reads back what the
// keys typed into it produce, as text with the non-character keys in angle brackets. It reads key
// repeat as classic X11 programs (LibreOffice among them) do: a press of the key just released, with
// the release's time stamp, is the key repeating, and that press is dropped, as "4.55" typed there
// arrives as "4.5".

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <string>

#include "deadline.h"

namespace valbrix::testing {

class X11Receiver {
public:
    X11Receiver() {
        display = XOpenDisplay(nullptr);
        if (display == nullptr) return;
        const int screen = DefaultScreen(display);
        window = XCreateSimpleWindow(display, RootWindow(display, screen), 10, 10, 300, 100, 1,
                                     BlackPixel(display, screen), WhitePixel(display, screen));
        XSelectInput(display, window, KeyPressMask | KeyReleaseMask | StructureNotifyMask);
        XMapWindow(display, window);
        for (XEvent event;;) {
            XNextEvent(display, &event);
            if (event.type == MapNotify) break;
        }
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
        XSync(display, False);
    }
    ~X11Receiver() {
        if (display != nullptr) XCloseDisplay(display);
    }
    X11Receiver(const X11Receiver&) = delete;
    X11Receiver& operator=(const X11Receiver&) = delete;

    bool ready() const { return display != nullptr; }

    Window id() const { return window; }

    // Gives the window the keyboard focus again, as clicking into it would.
    void focus() {
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
        XSync(display, False);
    }

    // Everything typed until the text ends with `ending`, or until timeoutMs have passed.
    std::string collectUntil(const std::string& ending, int timeoutMs) {
        std::string text;
        const Deadline deadline(timeoutMs);
        while (!text.ends_with(ending) && !deadline.passed()) text += collect(std::min(deadline.leftMs(), 200));
        return text;
    }

    // Everything typed until no key has arrived for quietMs.
    std::string collect(int quietMs = 300) {
        std::string text;
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        for (;;) {
            if (XPending(display) == 0 && poll(&connection, 1, quietMs) <= 0) return text;
            while (XPending(display) > 0) {
                XEvent event;
                XNextEvent(display, &event);
                if (event.type == KeyPress && !repeatsRelease(event.xkey)) text += typed(event.xkey);
                released = event.type == KeyRelease ? event.xkey : XKeyEvent{};
            }
        }
    }

private:
    bool repeatsRelease(const XKeyEvent& press) const {
        return released.keycode == press.keycode && released.time == press.time;
    }

    static std::string typed(XKeyEvent& key) {
        char buffer[16];
        KeySym keysym = NoSymbol;
        const int length = XLookupString(&key, buffer, sizeof buffer, &keysym, nullptr);
        switch (keysym) {
            case XK_Tab: return "<TAB>";
            case XK_Return: return "<ENTER>";
            case XK_Left: return "<LEFT>";
            case XK_Right: return "<RIGHT>";
            case XK_Up: return "<UP>";
            case XK_Down: return "<DOWN>";
            default: return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
        }
    }

    Display* display = nullptr;
    Window window = 0;
    XKeyEvent released{};  // the event just before, when it was a release
};

}  // namespace valbrix::testing
