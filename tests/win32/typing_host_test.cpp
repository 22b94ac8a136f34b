// How the desk stands as Windows tells it, under wine: keys held through the system's input queue as
// a user's hand would hold them, Caps Lock, and whose window is in front. The answers are asked from
// a thread of their own, as the export thread asks them.
#include "win32/win32_typing_host.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "deadline.h"

namespace valbrix {
namespace {

constexpr int patienceMs = 10000;

// Alt and the Windows key, pressed and released alone, would open the system menu or the start menu.
LRESULT CALLBACK keepKeys(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SYSKEYDOWN || message == WM_SYSKEYUP || message == WM_SYSCHAR || message == WM_SYSCOMMAND)
        return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

// A window of the test's own in front, with the keyboard.
class Front {
public:
    Front() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = keepKeys;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "ValbrixTypingHost";
        RegisterClassA(&windowClass);
        window = CreateWindowA(windowClass.lpszClassName, "Spreadsheet", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300,
                               100, nullptr, nullptr, windowClass.hInstance, nullptr);
        SetForegroundWindow(window);
        SetFocus(window);
    }
    ~Front() { DestroyWindow(window); }
    Front(const Front&) = delete;
    Front& operator=(const Front&) = delete;

    bool focused() const { return GetForegroundWindow() == window; }

    // Runs the window's messages until `done` holds; false when it did not in time.
    static bool until(const std::function<bool()>& done) {
        const testing::Deadline deadline(patienceMs);
        for (;;) {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            if (done()) return true;
            if (deadline.passed()) return false;
            Sleep(10);
        }
    }

private:
    HWND window = nullptr;
};

void key(WORD virtualKey, bool release) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
    const bool extended = virtualKey == VK_RCONTROL || virtualKey == VK_RMENU || virtualKey == VK_LWIN ||
                          virtualKey == VK_RWIN;
    input.ki.dwFlags = (extended ? KEYEVENTF_EXTENDEDKEY : 0u) | (release ? KEYEVENTF_KEYUP : 0u);
    SendInput(1, &input, sizeof input);
}

// Asked on another thread, as the export thread asks.
int heldElsewhere(Win32TypingHost& typing) {
    int held = 0;
    std::thread([&] { held = typing.deskState().heldKeys; }).join();
    return held;
}

TEST(Win32TypingHost, EachModifierTheUserHoldsIsSeenUntilReleased) {
    struct Case {
        const char* name;
        WORD key;
        int held;
    };
    const Case cases[] = {
        {"left Ctrl", VK_LCONTROL, HeldCtrl},     {"right Ctrl", VK_RCONTROL, HeldCtrl},
        {"left Alt", VK_LMENU, HeldAlt},          {"right Alt", VK_RMENU, HeldAltGr},
        {"left Windows", VK_LWIN, HeldSuper},     {"right Windows", VK_RWIN, HeldSuper},
        {"left Shift", VK_LSHIFT, HeldShift},     {"right Shift", VK_RSHIFT, HeldShift},
    };
    Front front;
    ASSERT_TRUE(Front::until([&] { return front.focused(); }));
    Win32TypingHost typing;
    ASSERT_EQ(heldElsewhere(typing), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Wine lines its key state up with the X server's once the window has the X focus, which may
        // come after the press and take it back: the hand presses again.
        const auto heldDown = [&] {
            if ((GetAsyncKeyState(c.key) & 0x8000) == 0) key(c.key, false);
            return heldElsewhere(typing) == c.held;
        };
        EXPECT_TRUE(Front::until(heldDown)) << heldElsewhere(typing);
        key(c.key, true);
        EXPECT_TRUE(Front::until([&] { return heldElsewhere(typing) == 0; }))
            << heldElsewhere(typing);
    }
}

// A thread sees Caps Lock as it was when it last read keyboard input, and wine shows it to no other
// thread: here it is asked on the thread of the window that gets the keys.
TEST(Win32TypingHost, CapsLockIsSeenOnAndOff) {
    Front front;
    ASSERT_TRUE(Front::until([&] { return front.focused(); }));
    Win32TypingHost typing;
    const bool before = typing.deskState().capsLock;
    for (const bool expected : {!before, before}) {
        key(VK_CAPITAL, false);
        key(VK_CAPITAL, true);
        EXPECT_TRUE(Front::until([&] { return typing.deskState().capsLock == expected; })) << expected;
    }
}

// The program's own window in front is its dialog, a box or a menu; another program's is where the
// keys belong.
TEST(Win32TypingHost, OnlyAWindowOfThisProcessCountsAsOwn) {
    Win32TypingHost typing;
    {
        Front front;
        ASSERT_TRUE(Front::until([&] { return front.focused(); }));
        EXPECT_TRUE(typing.deskState().ownWindowActive);
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION other{};
    char command[] = "notepad.exe";
    ASSERT_TRUE(CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &other));
    WaitForInputIdle(other.hProcess, patienceMs);
    const auto othersInFront = [&] {
        DWORD process = 0;
        GetWindowThreadProcessId(GetForegroundWindow(), &process);
        return process == other.dwProcessId;
    };
    EXPECT_TRUE(Front::until(othersInFront));
    EXPECT_FALSE(typing.deskState().ownWindowActive);
    TerminateProcess(other.hProcess, 0);
    WaitForSingleObject(other.hProcess, patienceMs);
    CloseHandle(other.hThread);
    CloseHandle(other.hProcess);
}

}  // namespace
}  // namespace valbrix
