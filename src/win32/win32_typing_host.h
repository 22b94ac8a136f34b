#pragma once
// How the desk stands as Windows tells it, before each value is typed: whether a window of the
// program's own is in front, whether the session is locked or away from the screen, which modifiers
// the user holds and whether Caps Lock is on. A locked workstation or a session switched away refuses
// synthetic input without a word, and a modifier held by the user turns the value's keys into
// shortcuts. The session's changes come as messages to the dialog on the user-interface thread; the
// rest is asked of the system at the moment of asking, from the export thread.

#include <windows.h>

#include <atomic>

#include "export/typing_guard.h"

namespace valbrix {

class Win32TypingHost final : public TypingHost {
public:
    Win32TypingHost() = default;
    ~Win32TypingHost() override { stopWatching(); }
    Win32TypingHost(const Win32TypingHost&) = delete;
    Win32TypingHost& operator=(const Win32TypingHost&) = delete;

    // The window that receives the session's changes (WM_WTSSESSION_CHANGE) from now on; whether the
    // session is at the screen at this moment is asked once.
    void watch(HWND window);
    // Before the window goes.
    void stopWatching();
    // A WM_WTSSESSION_CHANGE with its change code.
    void sessionChanged(WPARAM change);

    // Safe from any thread; waits for no window.
    DeskState deskState() override;

private:
    HWND watched = nullptr;
    std::atomic<bool> connected{true};
    std::atomic<bool> locked{false};
};

}  // namespace valbrix
