// The Win32 key sink typing into a window of the test's own, through SendInput and wine's keyboard.
// Every window of wine types with its US layout, so µ arrives as the character.
#include "export/key_sink_win32.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "deadline.h"
#include "export/keystroke_emitter.h"

namespace valbrix {
namespace {

constexpr int patienceMs = 10000;

// A key as its WM_KEYDOWN or WM_SYSKEYDOWN carries it.
struct KeyDown {
    WPARAM virtualKey;
    unsigned scanCode;
    bool extended;
    bool system;

    bool operator==(const KeyDown&) const = default;
};

std::ostream& operator<<(std::ostream& out, const KeyDown& key) {
    return out << "{vk 0x" << std::hex << key.virtualKey << ", scan 0x" << key.scanCode << std::dec
               << (key.extended ? ", extended" : "") << (key.system ? ", system" : "") << "}";
}

struct Received {
    std::wstring text;
    std::vector<KeyDown> keys;  // VK_PACKET, which carries a character rather than a key, left out
};

LRESULT CALLBACK receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* received = reinterpret_cast<Received*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (received != nullptr && message == WM_CHAR) received->text += static_cast<wchar_t>(wParam);
    if (received != nullptr && (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && wParam != VK_PACKET) {
        received->keys.push_back({wParam, static_cast<unsigned>((lParam >> 16) & 0xFF), ((lParam >> 24) & 1) != 0,
                                  message == WM_SYSKEYDOWN});
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A window of its own that has the keyboard focus.
class Receiver {
public:
    Receiver() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = receive;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"ValbrixKeySinkReceiver";
        RegisterClassW(&windowClass);
        window = CreateWindowW(windowClass.lpszClassName, L"Key sink receiver", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                               300, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&received));
        SetForegroundWindow(window);
        SetFocus(window);
    }
    ~Receiver() { DestroyWindow(window); }
    Receiver(const Receiver&) = delete;
    Receiver& operator=(const Receiver&) = delete;

    bool focused() const { return GetForegroundWindow() == window && GetFocus() == window; }

    // Runs the message loop until the text has come, or the time is up.
    const Received& until(const std::wstring& text) {
        const testing::Deadline deadline(patienceMs);
        while (received.text != text && !deadline.passed()) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            Sleep(10);
        }
        return received;
    }

private:
    HWND window = nullptr;
    Received received;
};

TEST(Win32KeySinkTyping, TheWindowGetsTheCharactersAndTheLayoutsKeys) {
    Receiver receiver;
    ASSERT_TRUE(receiver.focused());
    KeyEvents events;
    typeText(events, "12,5 \xB5m/", 1);
    sendSequence(events, "LEFT,UP");
    Win32KeySink().deliver(events);

    const Received& received = receiver.until(L"12,5 \u00B5m/");
    EXPECT_EQ(received.text, L"12,5 \u00B5m/");
    const std::vector<KeyDown> keys = {
        {'1', 0x02, false, false},      {'2', 0x03, false, false},      {VK_OEM_COMMA, 0x33, false, false},
        {'5', 0x06, false, false},      {VK_SPACE, 0x39, false, false}, {'M', 0x32, false, false},
        {VK_DIVIDE, 0x35, true, false}, {VK_LEFT, 0x4B, true, false},   {VK_UP, 0x48, true, false},
    };
    EXPECT_EQ(received.keys, keys);
}

}  // namespace
}  // namespace valbrix
