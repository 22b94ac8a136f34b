#include "win32/win32_typing_conditions.h"

#include <wtsapi32.h>

namespace valbrix {
namespace {

bool down(int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; }

// A session that cannot be asked counts as at the screen: nothing would ever be typed otherwise.
bool connectedNow() {
    LPSTR buffer = nullptr;
    DWORD bytes = 0;
    if (!WTSQuerySessionInformationA(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, WTSConnectState, &buffer, &bytes))
        return true;
    const bool connected = bytes < sizeof(WTS_CONNECTSTATE_CLASS) ||
                           *reinterpret_cast<const WTS_CONNECTSTATE_CLASS*>(buffer) == WTSActive;
    WTSFreeMemory(buffer);
    return connected;
}

}  // namespace

// A program starts in an unlocked session: it is the user who starts it.
void Win32TypingConditions::watch(HWND window) {
    stopWatching();
    if (WTSRegisterSessionNotification(window, NOTIFY_FOR_THIS_SESSION)) watched = window;
    connected = connectedNow();
}

void Win32TypingConditions::stopWatching() {
    if (watched != nullptr) WTSUnRegisterSessionNotification(watched);
    watched = nullptr;
}

// The session is at one screen at a time, the console's or a remote client's: the last connect or
// disconnect tells.
void Win32TypingConditions::sessionChanged(WPARAM change) {
    switch (change) {
        case WTS_SESSION_LOCK: locked = true; break;
        case WTS_SESSION_UNLOCK: locked = false; break;
        case WTS_CONSOLE_CONNECT:
        case WTS_REMOTE_CONNECT: connected = true; break;
        case WTS_CONSOLE_DISCONNECT:
        case WTS_REMOTE_DISCONNECT: connected = false; break;
        default: break;
    }
}

bool Win32TypingConditions::ownWindowInFront() const {
    const HWND front = GetForegroundWindow();
    if (front == nullptr) return false;
    DWORD process = 0;
    GetWindowThreadProcessId(front, &process);
    return process == GetCurrentProcessId();
}

// Where AltGr is a key of the layout, Windows reports it as the right Alt key together with the
// left Ctrl key.
HeldKeys Win32TypingConditions::heldKeys() const {
    HeldKeys held;
    held.shift = down(VK_LSHIFT) || down(VK_RSHIFT);
    held.control = down(VK_LCONTROL) || down(VK_RCONTROL);
    held.alt = down(VK_LMENU);
    held.altGr = down(VK_RMENU);
    held.windows = down(VK_LWIN) || down(VK_RWIN);
    held.capsLock = (GetKeyState(VK_CAPITAL) & 1) != 0;
    return held;
}

}  // namespace valbrix
