#pragma once
// What a user does on the X server, done through the XTest extension so that the programs see real
// pointer and key events: find a window by its name, click it, press keys, give it the focus.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <initializer_list>
#include <string>

#include "deadline.h"

namespace valbrix::testing {

class X11User {
public:
    X11User() : display(XOpenDisplay(nullptr)) {}
    ~X11User() {
        if (display != nullptr) XCloseDisplay(display);
    }
    X11User(const X11User&) = delete;
    X11User& operator=(const X11User&) = delete;

    bool ready() const { return display != nullptr; }
    Window root() const { return DefaultRootWindow(display); }

    // The first window named `name` in the tree under `top`, depth first; 0 when there is none.
    Window find(const std::string& name, Window top) {
        return findWhere(top, [&](Window window) {
            // Whatever the encoding of the title, an ASCII name has the same bytes in it.
            XTextProperty title{};
            if (!XGetWMName(display, window, &title) || title.value == nullptr) return false;
            const bool named = name == std::string(reinterpret_cast<const char*>(title.value), title.nitems);
            XFree(title.value);
            return named;
        });
    }
    // The first window of program `program` (its WM_CLASS name) under `top`; 0 when there is none.
    Window findOf(const std::string& program, Window top) {
        return findWhere(top, [&](Window window) { return isOf(program, window); });
    }
    Window waitFor(const std::string& name, Window top, int timeoutMs) {
        return pollFor(timeoutMs, [&] { return find(name, top); });
    }

    bool trayAvailable() {
        const std::string selection = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(display));
        return XGetSelectionOwner(display, XInternAtom(display, selection.c_str(), False)) != None;
    }

    // What a window manager does for a window the user clicks into.
    void focus(Window window) {
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
        XSync(display, False);
    }

    // True once `window` or one of its children has the keyboard focus, within timeoutMs.
    bool waitForFocus(Window window, int timeoutMs) {
        return pollFor(timeoutMs, [&] {
            Window focused = 0;
            int revert = 0;
            XGetInputFocus(display, &focused, &revert);
            return focused != None && focused != PointerRoot && isInside(focused, window);
        });
    }

    // True once `window` is mapped and can be seen (all its ancestors are mapped too), within
    // timeoutMs.
    bool waitForViewable(Window window, int timeoutMs) {
        return pollFor(timeoutMs, [&] {
            XWindowAttributes attributes{};
            return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
        });
    }

    // A menu of program `program` that is open on the screen (a mapped override-redirect window of
    // its class straight under the root; the tray icon is one too, but embedded), within timeoutMs;
    // 0 when none came.
    Window waitForMenu(const std::string& program, int timeoutMs) {
        return pollFor(timeoutMs, [&] {
            return findWhere(root(), [&](Window window) {
                XWindowAttributes attributes{};
                return XGetWindowAttributes(display, window, &attributes) && attributes.override_redirect &&
                       attributes.map_state == IsViewable && isOf(program, window) && parentOf(window) == root();
            });
        });
    }

    // Presses and releases `button` (1 left, 3 right) in the middle of the window, or, with
    // fromBottom, that many pixels above its lower edge.
    void click(Window window, unsigned button, int fromBottom = -1) {
        XWindowAttributes attributes{};
        XGetWindowAttributes(display, window, &attributes);
        const int atY = fromBottom < 0 ? attributes.height / 2 : attributes.height - fromBottom;
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(display, window, root(), attributes.width / 2, atY, &x, &y, &child);
        XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
        XTestFakeButtonEvent(display, button, True, CurrentTime);
        XTestFakeButtonEvent(display, button, False, 50);
        XSync(display, False);
    }

    // Holds the keys down in their order and lets them go in the reverse order: {XK_Alt_L, XK_e} is
    // Alt+E. The keys are looked up in the server's current keyboard map.
    void press(std::initializer_list<KeySym> keys) {
        for (const KeySym key : keys) XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), True, CurrentTime);
        for (auto key = std::rbegin(keys); key != std::rend(keys); ++key)
            XTestFakeKeyEvent(display, XKeysymToKeycode(display, *key), False, CurrentTime);
        XSync(display, False);
    }

    // Holds a key down until release() lets it go, as a user keeping Ctrl pressed does.
    void hold(KeySym key) { fakeKey(key, True); }
    void release(KeySym key) { fakeKey(key, False); }

    // What a screen saver does when the user walks away, and what a key or the mouse does after it.
    void startScreenSaver() {
        XActivateScreenSaver(display);
        XSync(display, False);
    }
    void stopScreenSaver() {
        XResetScreenSaver(display);
        XSync(display, False);
    }

private:
    void fakeKey(KeySym key, Bool press) {
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), press, CurrentTime);
        XSync(display, False);
    }

    bool isOf(const std::string& program, Window window) {
        XClassHint hint{};
        if (!XGetClassHint(display, window, &hint)) return false;
        const bool found = hint.res_name != nullptr && program == hint.res_name;
        XFree(hint.res_name);
        XFree(hint.res_class);
        return found;
    }

    Window parentOf(Window window) {
        Window rootReturn = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, window, &rootReturn, &parent, &children, &count)) return 0;
        if (children != nullptr) XFree(children);
        return parent;
    }

    bool isInside(Window window, Window ancestor) {
        for (; window != 0 && window != root(); window = parentOf(window))
            if (window == ancestor) return true;
        return false;
    }

    template <class Predicate>
    Window findWhere(Window top, const Predicate& matches) {
        Window rootReturn = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, top, &rootReturn, &parent, &children, &count)) return 0;
        Window found = 0;
        for (unsigned i = 0; i < count && found == 0; ++i)
            found = matches(children[i]) ? children[i] : findWhere(children[i], matches);
        if (children != nullptr) XFree(children);
        return found;
    }

    Display* display;
};

}  // namespace valbrix::testing
