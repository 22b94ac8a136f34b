// win32_receiver: a window of the end-to-end test's own under wine. It stands in for the spreadsheet
// that has the keyboard focus, and writes what is typed into it on standard output, one key a line:
// "typed 4", "typed ,", "typed <ENTER>". It also watches Valbrix's dialog from outside, as a user
// looking at the screen would, and writes each change: "window shown", "window hidden" and
// "window gone" once the dialog is no more, "listed: Valbrix.exe" once the system lists the dialog's
// process under the name taskkill /IM looks for, "control 1014: Pocket-VARNITRON 6121" for the
// status line, the gauge and the last value, "foreground: Valbrix receiver (ValbrixReceiver)" for
// the window that gets the keys, and "help window: <title>" for the HTML Help viewer that comes up.
// What it reports of a dialog starts afresh with each new one.
//
//   win32_receiver [--keep-focus]   with --keep-focus the window takes the focus back whenever it
//                                   loses it, for runs that only count what arrives
//   win32_receiver --mark           presses F24, which no keyboard has, and ends: the window with the
//                                   focus gets it after every key typed before, and the receiving
//                                   window reports it as "typed <MARK>"
//   win32_receiver --hold KEY       holds KEY down as a user's hand would (ctrl, alt, altgr, win,
//   win32_receiver --release KEY    shift) or lets it go, through the system's input queue, and ends
//   win32_receiver --session CHANGE tells Valbrix's dialog, as the system does, that the session was
//                                   locked or unlocked (lock, unlock), and ends
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>

namespace {

constexpr int watchedControls[] = {1003, 1014, 1015, 1016};

void say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

const char* specialKey(WPARAM key) {
    switch (key) {
        case VK_TAB: return "<TAB>";
        case VK_RETURN: return "<ENTER>";
        case VK_LEFT: return "<LEFT>";
        case VK_RIGHT: return "<RIGHT>";
        case VK_UP: return "<UP>";
        case VK_DOWN: return "<DOWN>";
        case VK_F24: return "<MARK>";
        default: return nullptr;
    }
}

LRESULT CALLBACK receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
            if (const char* name = specialKey(wParam)) say(std::string("typed ") + name);
            break;
        case WM_CHAR:
            // Tab and Enter came as keys already.
            if (wParam >= ' ') say(std::string("typed ") + static_cast<char>(wParam));
            return 0;
        case WM_SYSCOMMAND:
            // Alt let go alone would open the window's menu, which would take the keys that follow.
            if ((wParam & 0xFFF0) == SC_KEYMENU) return 0;
            break;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The text of a control of another process's dialog; the dialog's thread answers, unless it is busy.
bool controlText(HWND dialog, int control, std::string& text) {
    char buffer[256] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(GetDlgItem(dialog, control), WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                             SMTO_ABORTIFHUNG, 500, &copied))
        return false;
    text = buffer;
    return true;
}

// Whether the system lists the process under that image name as taskkill /IM finds it: among the
// processes it enumerates, by the base name of the process's first module.
bool listedAs(DWORD process, const char* image) {
    DWORD processes[1024];
    DWORD bytes = 0;
    if (!EnumProcesses(processes, sizeof processes, &bytes)) return false;
    const DWORD* end = processes + bytes / sizeof(DWORD);
    if (std::find(static_cast<const DWORD*>(processes), end, process) == end) return false;
    const HANDLE handle = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, process);
    if (handle == nullptr) return false;
    char name[MAX_PATH] = {};
    const bool named = GetModuleBaseNameA(handle, nullptr, name, sizeof name) > 0 && lstrcmpiA(name, image) == 0;
    CloseHandle(handle);
    return named;
}

struct Watch {
    HWND receiver;
    bool keepFocus;
};

DWORD WINAPI watchDialog(void* parameter) {
    const Watch watch = *static_cast<const Watch*>(parameter);
    HWND watched = nullptr;  // the dialog reported on
    int visible = -1;
    bool listed = false;
    std::map<int, std::string> shown;
    HWND front = nullptr;
    std::string helpTitle;
    for (;;) {
        Sleep(50);
        if (const HWND now = GetForegroundWindow(); now != front) {
            front = now;
            char title[128] = {};
            char kind[64] = {};
            if (now != nullptr) GetWindowTextA(now, title, sizeof title);
            if (now != nullptr) GetClassNameA(now, kind, sizeof kind);
            say(std::string("foreground: ") + title + " (" + kind + ")");
        }
        if (watch.keepFocus && front != watch.receiver) SetForegroundWindow(watch.receiver);
        std::string title;
        if (const HWND help = FindWindowA("HH Parent", nullptr); help != nullptr && IsWindowVisible(help)) {
            char text[128] = {};
            GetWindowTextA(help, text, sizeof text);
            title = text;
        }
        if (!title.empty() && helpTitle != title) say("help window: " + title);
        helpTitle = title;
        // A dialog that is gone, or one that stands in another's place, is a program that ended and
        // perhaps one that started: everything about the new one is news.
        const HWND dialog = FindWindowA("ISDlgClass", nullptr);
        if (dialog != watched) {
            if (watched != nullptr) say("window gone");
            watched = dialog;
            visible = -1;
            listed = false;
            shown.clear();
        }
        if (dialog == nullptr) continue;
        if (!listed) {
            DWORD process = 0;
            GetWindowThreadProcessId(dialog, &process);
            listed = listedAs(process, "Valbrix.exe");
            if (listed) say("listed: Valbrix.exe");
        }
        const int nowVisible = IsWindowVisible(dialog) ? 1 : 0;
        if (nowVisible != visible) say(nowVisible ? "window shown" : "window hidden");
        visible = nowVisible;
        for (const int control : watchedControls) {
            std::string text;
            if (!controlText(dialog, control, text)) continue;
            const auto known = shown.find(control);
            if (known != shown.end() && known->second == text) continue;
            shown[control] = text;
            say("control " + std::to_string(control) + ": " + text);
        }
    }
}

}  // namespace

// A key pressed through the system's input queue, as the program's own keys are, so that it comes
// after them.
int pressMark() {
    INPUT keys[2] = {};
    for (INPUT& key : keys) {
        key.type = INPUT_KEYBOARD;
        key.ki.wVk = VK_F24;
    }
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    return SendInput(2, keys, sizeof(INPUT)) == 2 ? 0 : 1;
}

// A modifier pressed or released alone, with the scan code and the extended flag a keyboard gives it.
int holdKey(const std::string& name, bool release) {
    const std::map<std::string, WORD> keys = {
        {"ctrl", VK_LCONTROL}, {"alt", VK_LMENU}, {"altgr", VK_RMENU}, {"win", VK_LWIN}, {"shift", VK_LSHIFT},
    };
    const auto found = keys.find(name);
    if (found == keys.end()) return 2;
    INPUT key{};
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = found->second;
    key.ki.wScan = static_cast<WORD>(MapVirtualKeyA(found->second, MAPVK_VK_TO_VSC));
    const bool extended = found->second == VK_RMENU || found->second == VK_LWIN;
    key.ki.dwFlags = (extended ? KEYEVENTF_EXTENDEDKEY : 0u) | (release ? KEYEVENTF_KEYUP : 0u);
    return SendInput(1, &key, sizeof(INPUT)) == 1 ? 0 : 1;
}

int tellSession(const std::string& change) {
    const HWND dialog = FindWindowA("ISDlgClass", nullptr);
    if (dialog == nullptr || (change != "lock" && change != "unlock")) return 2;
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    SendMessageA(dialog, WM_WTSSESSION_CHANGE, change == "lock" ? WTS_SESSION_LOCK : WTS_SESSION_UNLOCK, session);
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--mark") return pressMark();
    if (argc == 3 && std::string(argv[1]) == "--hold") return holdKey(argv[2], false);
    if (argc == 3 && std::string(argv[1]) == "--release") return holdKey(argv[2], true);
    if (argc == 3 && std::string(argv[1]) == "--session") return tellSession(argv[2]);
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA receiverClass{};
    receiverClass.lpfnWndProc = receive;
    receiverClass.hInstance = instance;
    receiverClass.hCursor = LoadCursorA(nullptr, IDC_IBEAM);
    receiverClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    receiverClass.lpszClassName = "ValbrixReceiver";
    RegisterClassA(&receiverClass);
    const HWND window = CreateWindowA("ValbrixReceiver", "Valbrix receiver", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 420,
                                      360, 200, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    SetForegroundWindow(window);
    static Watch watch{window, argc == 2 && std::string(argv[1]) == "--keep-focus"};
    CreateThread(nullptr, 0, watchDialog, &watch, 0, nullptr);
    say("receiver ready");
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
