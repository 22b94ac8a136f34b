#pragma once
// What Windows says about the moment before a value is typed: whether a window of the program's own
// is in front, whether the session is the one at the screen and unlocked, which modifiers the user
// holds and whether Caps Lock is on. A locked workstation or a session switched away refuses
// synthetic input without a word, and a modifier held by the user turns the value's keys into
// shortcuts. The session's changes come as messages to the dialog on the user-interface thread; the
// answers are asked from the export thread.

#include <windows.h>

#include <atomic>

namespace valbrix {

// Keys the user holds down at this moment, and the Caps Lock light.
struct HeldKeys {
    bool shift = false;
    bool control = false;
    bool alt = false;
    bool altGr = false;    // the right Alt key
    bool windows = false;  // either Windows key
    bool capsLock = false;

    bool operator==(const HeldKeys&) const = default;
};

class Win32TypingConditions {
public:
    Win32TypingConditions() = default;
    ~Win32TypingConditions() { stopWatching(); }
    Win32TypingConditions(const Win32TypingConditions&) = delete;
    Win32TypingConditions& operator=(const Win32TypingConditions&) = delete;

    // The window that receives the session's changes (WM_WTSSESSION_CHANGE) from now on; the state of
    // the session at this moment is asked once.
    void watch(HWND window);
    // Before the window goes.
    void stopWatching();
    // A WM_WTSSESSION_CHANGE with its change code.
    void sessionChanged(WPARAM change);

    // The foreground window belongs to this process: the dialog, a menu, a box or the help.
    bool ownWindowInFront() const;
    // The session is connected to the screen (the console or a remote one) and not locked.
    bool sessionActive() const { return connected.load() && !locked.load(); }
    HeldKeys heldKeys() const;

private:
    HWND watched = nullptr;
    std::atomic<bool> connected{true};
    std::atomic<bool> locked{false};
};

}  // namespace valbrix
