#include "win32/win32_typing_host.h"

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

// The dialog, a menu, a box or the help: every window of the process. A window of another program
// that has just been brought to the front has the keyboard only once its thread has taken the
// activation; keys sent before are lost (wine drops them), so until then the keyboard counts as the
// program's still.
bool ownWindowInFront() {
    const HWND front = GetForegroundWindow();
    if (front == nullptr) return false;
    DWORD process = 0;
    const DWORD thread = GetWindowThreadProcessId(front, &process);
    if (process == GetCurrentProcessId()) return true;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(thread, &info) && info.hwndActive == nullptr && info.hwndFocus == nullptr;
}

// Where AltGr is a key of the layout, Windows reports it as the right Alt key together with the left
// Ctrl key; both hold the value back alike.
std::uint8_t heldKeys() {
    std::uint8_t held = 0;
    if (down(VK_LSHIFT) || down(VK_RSHIFT)) held |= HeldShift;
    if (down(VK_LCONTROL) || down(VK_RCONTROL)) held |= HeldCtrl;
    if (down(VK_LMENU)) held |= HeldAlt;
    if (down(VK_RMENU)) held |= HeldAltGr;
    if (down(VK_LWIN) || down(VK_RWIN)) held |= HeldSuper;
    return held;
}

}  // namespace

// A program starts in an unlocked session: it is the user who starts it.
void Win32TypingHost::watch(HWND window) {
    stopWatching();
    if (WTSRegisterSessionNotification(window, NOTIFY_FOR_THIS_SESSION)) watched = window;
    connected = connectedNow();
}

void Win32TypingHost::stopWatching() {
    if (watched != nullptr) WTSUnRegisterSessionNotification(watched);
    watched = nullptr;
}

// The session is at one screen at a time, the console's or a remote client's: the last connect or
// disconnect tells.
void Win32TypingHost::sessionChanged(WPARAM change) {
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

DeskState Win32TypingHost::deskState() {
    DeskState desk;
    desk.ownWindowActive = ownWindowInFront();
    desk.sessionLocked = locked;
    desk.sessionInactive = !connected;
    desk.heldKeys = heldKeys();
    desk.capsLock = (GetKeyState(VK_CAPITAL) & 1) != 0;
    return desk;
}

}  // namespace valbrix
