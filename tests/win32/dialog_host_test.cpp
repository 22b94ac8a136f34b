// The Win32 dialog host with the real shell under wine: dialog 301 from the program's resources, a
// gauge on scripted ports, the real settings file through the system's profile calls. Window messages
// are sent as the system and other programs send them, and the test runs the message loop itself.
#include "win32/win32_dialog_host.h"

#include <dbt.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/shell.h"
#include "box_watcher.h"
#include "deadline.h"
#include "export/key_text.h"
#include "fake_clock.h"
#include "fake_ports.h"
#include "settings/file_system.h"
#include "settings/settings_paths.h"
#include "temp_folder.h"
#include "win32/application.h"
#include "win32/win32_menus.h"

namespace valbrix {
namespace {

using testing::BoxWatcher;
using testing::FakeClock;
using testing::FakeLine;
using testing::FakePorts;
using testing::TempFolder;

constexpr int patienceMs = 10000;

// The system's notification area, or a shell that is not ready and refuses every icon; what was asked
// of it is kept.
class RecordingArea final : public NotificationArea {
public:
    bool notify(DWORD action, NOTIFYICONDATAA& record) override {
        const bool done = ready && systemNotificationArea().notify(action, record);
        asked.push_back({action, done});
        pictureSize = sizeOf(record.hIcon);
        return done;
    }
    static int sizeOf(HICON picture) {
        ICONINFO info{};
        if (picture == nullptr || !GetIconInfo(picture, &info)) return 0;
        BITMAP mask{};
        GetObjectA(info.hbmMask, sizeof mask, &mask);
        if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        return mask.bmWidth;
    }
    struct Asked {
        DWORD action;
        bool done;
        bool operator==(const Asked&) const = default;
    };
    bool ready = true;
    std::vector<Asked> asked;
    int pictureSize = 0;  // of the last picture handed over
};

// The program with everything around it, on this thread.
struct Program {
    Program() {
        registerDialogClass(GetModuleHandleA(nullptr));
        createFolders(where.programDirectory);
        ports.add(1)->echo = true;
    }
    ~Program() {
        shell.reset();
        // A quit message left over must not end the next test's loop.
        MSG message;
        while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    void settingsFile(const std::string& lines) { testing::writeFile(programFile(), "[Settings]\r\n" + lines); }
    std::string programFile() const { return where.programDirectory + "Valbrix.ini"; }
    std::string stored(const char* key) {
        return systemSettingsStore().get(programFile(), "Settings", key, "<none>", 999);
    }

    // The dialog set up and the start-up scan done.
    void start() {
        startScanning();
        if (dialog != nullptr) runUntil([this] { return !shell->portScanRunning(); });
    }
    void startScanning() {
        shell = std::make_unique<Shell>(
            ShellEnvironment{host, systemSettingsStore(), where, ports, clock, keys, host.typingHost(), false,
                             systemJournalFiles(), systemWallClock()});
        host.attach(*shell);
        dialog = host.createMainDialog();
    }

    // Runs the user-interface thread until `done` says so; false when it did not within the time.
    bool runUntil(const std::function<bool()>& done, int timeoutMs = patienceMs) {
        const testing::Deadline deadline(timeoutMs);
        for (;;) {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (message.message == WM_QUIT) {
                    quit = true;
                    exitCode = static_cast<int>(message.wParam);
                } else if (host.window() == nullptr || !IsDialogMessageA(host.window(), &message)) {
                    TranslateMessage(&message);
                    DispatchMessageA(&message);
                }
            }
            if (done()) return true;
            if (deadline.passed()) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
    }
    bool runUntilQuit() {
        return runUntil([this] { return quit; });
    }

    // The user picks the item of a list.
    void choose(int list, int index) {
        SendDlgItemMessageA(dialog, list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(list, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, list)));
    }

    std::string text(int control) const {
        char buffer[256] = {};
        GetDlgItemTextA(dialog, control, buffer, sizeof buffer);
        return buffer;
    }

    TempFolder temp;
    SettingsLocations where{temp.path("program") + pathSeparator, temp.path("user") + pathSeparator};
    FakeClock clock;
    FakePorts ports{clock};
    RecordingKeySink keys;
    RecordingArea area;
    Win32DialogHost host{GetModuleHandleA(nullptr), area};
    std::unique_ptr<Shell> shell;
    HWND dialog = nullptr;
    bool quit = false;
    int exitCode = -1;
};

// Whether a Win32 menu holds the shell's menu, item by item; the first difference otherwise.
::testing::AssertionResult holds(HMENU menu, const Menu& expected) {
    if (GetMenuItemCount(menu) != static_cast<int>(expected.size()))
        return ::testing::AssertionFailure() << GetMenuItemCount(menu) << " items instead of " << expected.size();
    for (std::size_t position = 0; position < expected.size(); ++position) {
        const MenuItem& item = expected[position];
        char text[256] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = sizeof text;
        GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info);
        const bool separator = (info.fType & MFT_SEPARATOR) != 0;
        const bool checked = (info.fState & MFS_CHECKED) != 0;
        const bool grayed = (info.fState & MFS_GRAYED) != 0;
        if (separator != item.isSeparator() || (!separator && (text != item.text || checked != item.checked ||
                                                               grayed != item.grayed)))
            return ::testing::AssertionFailure() << "item " << position << " \"" << text << "\" differs from \""
                                                 << item.text << "\"";
        if (item.submenu.empty() ? info.hSubMenu != nullptr : false)
            return ::testing::AssertionFailure() << "item " << position << " has a submenu";
        if (item.submenu.empty() && !separator && static_cast<int>(info.wID) != item.command)
            return ::testing::AssertionFailure() << "item " << position << " gives command " << info.wID;
        if (!item.submenu.empty()) {
            const ::testing::AssertionResult inner = holds(info.hSubMenu, item.submenu);
            if (!inner) return ::testing::AssertionFailure() << "in \"" << item.text << "\": " << inner.message();
        }
    }
    return ::testing::AssertionSuccess();
}

LOGFONTA fontOf(HWND control) {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

TEST(Win32DialogHost, StartsWithTheShellsTextsListsFontsAndMenuBar) {
    Program program;
    program.settingsFile("Separator=Tab\r\n");
    program.start();
    ASSERT_NE(program.dialog, nullptr);
    EXPECT_EQ(program.text(StatusLine), "Program active.");
    EXPECT_EQ(program.text(DeviceGroup), "Device");
    EXPECT_EQ(program.host.selectedText(ControlKeyList), "Tab");
    EXPECT_EQ(SendDlgItemMessageA(program.dialog, ControlKeyList, CB_GETCOUNT, 0, 0), 8);
    EXPECT_EQ(program.host.selectedText(DecimalSeparatorList), ",");
    EXPECT_EQ(program.text(SequenceField), "TAB,DOWN");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(program.dialog, SequenceField)));
    EXPECT_TRUE(holds(GetMenu(program.dialog), menuBar(English, 1, 6121)));

    struct Font {
        int control;
        int height;
        int weight;
    };
    // Wine stands Liberation Sans Narrow in for Arial Narrow; a system without either gets a narrowed
    // Arial.
    const bool narrowInstalled = fontInstalled("Arial Narrow");
    for (const Font expected : {Font{DeviceLineControl, 18, 600}, Font{ValueTextControl, 24, 700},
                                Font{UnitTextControl, 24, 700}}) {
        const LOGFONTA font = fontOf(GetDlgItem(program.dialog, expected.control));
        EXPECT_STREQ(font.lfFaceName, narrowInstalled ? "Arial Narrow" : "Arial") << expected.control;
        EXPECT_EQ(font.lfWidth > 0, !narrowInstalled) << expected.control;
        EXPECT_EQ(font.lfHeight, expected.height) << expected.control;
        EXPECT_EQ(font.lfWeight, expected.weight) << expected.control;
    }

    // German from the language menu: the labels, the lists and the bar follow, the choice stays.
    SendMessageA(program.dialog, WM_COMMAND, MAKEWPARAM(CommandGerman, 0), 0);
    EXPECT_EQ(program.text(DeviceGroup), "Ger\xE4t");
    EXPECT_EQ(program.text(UnitLabel), "Ma\xDF" "einheit");
    EXPECT_EQ(program.host.selectedText(ControlKeyList), "Tab");
    EXPECT_TRUE(holds(GetMenu(program.dialog), menuBar(German, 1, 6121)));
}

// Arial Narrow where Office brought it; else Arial, which every Windows has, narrowed to its width.
TEST(Win32DialogHost, TheValueFieldsTakeArialNarrowOrANarrowedArial) {
    struct Case {
        std::vector<std::string> installed;
        ValueFace face;
    };
    const Case cases[] = {
        {{"Arial", "Arial Narrow", "Tahoma"}, {"Arial Narrow", 100}},
        {{"Arial Narrow"}, {"Arial Narrow", 100}},
        {{"Arial", "Tahoma"}, {"Arial", 82}},
        {{}, {"Arial", 82}},
    };
    for (const Case& c : cases) {
        const ValueFace face = chooseValueFace([&](const char* name) {
            return std::find(c.installed.begin(), c.installed.end(), name) != c.installed.end();
        });
        EXPECT_STREQ(face.name, c.face.name) << c.installed.size();
        EXPECT_EQ(face.widthPercent, c.face.widthPercent) << c.installed.size();
    }
    EXPECT_TRUE(fontInstalled("Tahoma"));  // comes with wine, as with Windows
    EXPECT_FALSE(fontInstalled("No Such Face"));

    // The narrowed face draws a value about as wide as Arial Narrow would.
    const auto widthOf = [](const ValueFace& face) {
        const HFONT font = createValueFont(face, 24, 700);
        const HDC screen = GetDC(nullptr);
        const HGDIOBJ before = SelectObject(screen, font);
        SIZE size{};
        GetTextExtentPoint32A(screen, "-1234,56", 8, &size);
        SelectObject(screen, before);
        ReleaseDC(nullptr, screen);
        DeleteObject(font);
        return size.cx;
    };
    const long own = widthOf({"Arial", 100});
    const long narrowed = widthOf({"Arial", 82});
    EXPECT_GT(narrowed, own * 78 / 100);
    EXPECT_LT(narrowed, own * 86 / 100);
}

// The dialog moved to a screen of another density: the window takes the rectangle the system
// suggests, the value fields get fonts made for the density (the old ones are deleted), the drop-downs,
// the status line's tooltip and the tray picture follow.
TEST(Win32DialogHost, FontsDropDownsAndTrayPictureFollowTheScreensDensity) {
    struct Case {
        UINT dpi;
        int deviceHeight;
        int valueHeight;
        int dropDown;
        int picture;
    };
    const Case cases[] = {
        {144, 27, 36, 450, 24},
        {120, 23, 30, 375, 20},
        {96, 18, 24, 300, 16},
    };
    Program program;
    program.start();
    ShowWindow(program.dialog, SW_SHOW);
    SendMessageA(program.dialog, WM_COMMAND, MAKEWPARAM(ContinueButton, BN_CLICKED), 0);
    ASSERT_TRUE(program.shell->isInTray());
    RECT start{};
    GetWindowRect(program.dialog, &start);
    // From the top of the closed list to the bottom of the open one; the list adds its own part.
    const auto dropDown = [&] {
        RECT closed{};
        RECT dropped{};
        GetWindowRect(GetDlgItem(program.dialog, ControlKeyList), &closed);
        SendDlgItemMessageA(program.dialog, ControlKeyList, CB_GETDROPPEDCONTROLRECT, 0,
                            reinterpret_cast<LPARAM>(&dropped));
        return dropped.bottom - closed.top;
    };
    const int ownPart = 300 - dropDown();
    const HWND status = GetDlgItem(program.dialog, StatusLine);
    RECT statusAt96{};
    GetWindowRect(status, &statusAt96);
    MapWindowPoints(nullptr, program.dialog, reinterpret_cast<POINT*>(&statusAt96), 2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        // Where the system lays the status line out at that density (wine leaves that to the program).
        SetWindowPos(status, nullptr, atDpi(statusAt96.left, c.dpi), atDpi(statusAt96.top, c.dpi),
                     atDpi(statusAt96.right - statusAt96.left, c.dpi), atDpi(statusAt96.bottom - statusAt96.top, c.dpi),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        const auto before =
            reinterpret_cast<HFONT>(SendDlgItemMessageA(program.dialog, ValueTextControl, WM_GETFONT, 0, 0));
        const RECT suggested{10, 20, 10 + atDpi(start.right - start.left, c.dpi),
                             20 + atDpi(start.bottom - start.top, c.dpi)};
        SendMessageA(program.dialog, WM_DPICHANGED, MAKEWPARAM(c.dpi, c.dpi), reinterpret_cast<LPARAM>(&suggested));
        bool settled = false;
        program.host.post([&] { settled = true; });
        ASSERT_TRUE(program.runUntil([&] { return settled; }));

        RECT now{};
        GetWindowRect(program.dialog, &now);
        EXPECT_TRUE(EqualRect(&now, &suggested));
        EXPECT_EQ(fontOf(GetDlgItem(program.dialog, DeviceLineControl)).lfHeight, c.deviceHeight);
        EXPECT_EQ(fontOf(GetDlgItem(program.dialog, ValueTextControl)).lfHeight, c.valueHeight);
        EXPECT_EQ(fontOf(GetDlgItem(program.dialog, UnitTextControl)).lfHeight, c.valueHeight);
        EXPECT_EQ(GetObjectType(before), 0u) << "the old font is left";
        EXPECT_EQ(dropDown() + ownPart, c.dropDown);
        EXPECT_EQ(program.area.asked.back(), (RecordingArea::Asked{NIM_MODIFY, true}));
        EXPECT_EQ(program.area.pictureSize, c.picture);

        // The tooltip of the status line answers where the status line is now.
        HWND tooltip = nullptr;
        while ((tooltip = FindWindowExA(nullptr, tooltip, TOOLTIPS_CLASSA, nullptr)) != nullptr &&
               GetWindow(tooltip, GW_OWNER) != program.dialog) {
        }
        TTTOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = program.dialog;
        tool.uId = StatusLine;
        ASSERT_TRUE(SendMessageA(tooltip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)));
        RECT statusNow{};
        GetWindowRect(status, &statusNow);
        MapWindowPoints(nullptr, program.dialog, reinterpret_cast<POINT*>(&statusNow), 2);
        EXPECT_TRUE(EqualRect(&tool.rect, &statusNow));
    }
}

TEST(Win32DialogHost, TrayMenuComesFromTheResourceOfTheLanguageWithTheShellsMarks) {
    struct Case {
        int language;
        bool transferActive;
        int device;
        int resource;
        const char* firstItem;
        bool checked;
        bool grayed;
    };
    const Case cases[] = {
        {German, true, 6121, 302, "&Daten \xFC" "bertragen", true, false},
        {English, false, 8525, 303, "&Transfer active", false, true},
        {English, true, 7482, 303, "&Transfer active", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.firstItem);
        const Menu menu = trayMenu(c.language, c.transferActive, c.device);
        EXPECT_EQ(trayMenuResource(menu), c.resource);
        const HMENU loaded = loadTrayMenu(GetModuleHandleA(nullptr), menu);
        ASSERT_NE(loaded, nullptr);
        const HMENU popup = GetSubMenu(loaded, 0);
        EXPECT_TRUE(holds(popup, menu));
        EXPECT_EQ((GetMenuState(popup, CommandTransferActive, MF_BYCOMMAND) & MF_CHECKED) != 0, c.checked);
        EXPECT_EQ((GetMenuState(popup, CommandFindDevice, MF_BYCOMMAND) & MF_GRAYED) != 0, c.grayed);
        DestroyMenu(loaded);
    }
}

TEST(Win32DialogHost, PostedWorkRunsOnTheUserInterfaceThreadInItsOrder) {
    Program program;
    program.start();
    std::vector<int> ran;
    bool elsewhere = false;
    const DWORD uiThread = GetCurrentThreadId();
    std::thread worker([&] {
        for (int i = 0; i < 200; ++i)
            program.host.post([&, i] {
                ran.push_back(i);
                elsewhere = elsewhere || GetCurrentThreadId() != uiThread;
            });
    });
    worker.join();
    ASSERT_TRUE(program.runUntil([&] { return ran.size() == 200; }));
    for (int i = 0; i < 200; ++i) ASSERT_EQ(ran[static_cast<std::size_t>(i)], i);
    EXPECT_FALSE(elsewhere);

    // After the end, posted work is dropped instead of reaching a dialog that is gone.
    PostMessageA(program.dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.runUntilQuit());
    program.host.post([&] { ran.push_back(-1); });
    program.runUntil([] { return false; }, 200);
    EXPECT_EQ(ran.size(), 200u);
}

// A port whose open keeps its opener waiting for seconds, as a Bluetooth port does before it fails:
// the window answers messages all the while, at start-up and at a rescan, and the list fills once the
// probe is over.
TEST(Win32DialogHost, APortThatTakesSecondsToOpenLeavesTheWindowAnsweringMessages) {
    for (const bool rescan : {false, true}) {
        SCOPED_TRACE(rescan ? "rescan" : "start-up");
        Program program;
        program.ports.add(3);
        std::shared_ptr<testing::OpenGate> gate;
        if (rescan) {
            program.start();
            gate = program.ports.hold(3);
        } else {
            gate = program.ports.hold(3);
        }
        std::atomic<bool> answered{false};
        // The system asks whether the window is hung as it does before it writes "Not Responding".
        std::thread system([&] {
            gate->waitUntilHeld();
            DWORD_PTR result = 0;
            answered = SendMessageTimeoutA(FindWindowA("ISDlgClass", nullptr), WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                           5000, &result) != 0;
            gate->release();
        });
        if (rescan)
            SendMessageA(program.dialog, WM_COMMAND, MAKEWPARAM(PortListControl, CBN_SETFOCUS),
                         reinterpret_cast<LPARAM>(GetDlgItem(program.dialog, PortListControl)));
        else
            program.startScanning();
        const bool scanned = program.runUntil([&] { return !program.shell->portScanRunning(); });
        system.join();
        EXPECT_TRUE(answered);
        EXPECT_TRUE(scanned);
        EXPECT_EQ(SendDlgItemMessageA(program.dialog, PortListControl, CB_GETCOUNT, 0, 0), 2);
        EXPECT_EQ(program.host.selectedText(PortListControl), "COM1");
    }
}

TEST(Win32DialogHost, LosingTheActivationHidesIntoTheTrayUnlessTheAboutBoxTookIt) {
    Program program;
    program.start();
    ShowWindow(program.dialog, SW_SHOW);
    SetForegroundWindow(program.dialog);
    ASSERT_TRUE(program.runUntil([&] { return GetActiveWindow() == program.dialog; }));

    // The About box takes the activation and leaves the dialog on screen.
    bool visibleWithTheBox = false;
    {
        BoxWatcher boxes([&](HWND box, const std::string&) {
            Sleep(300);
            visibleWithTheBox = IsWindowVisible(program.dialog);
            testing::pressButton(box, AboutOkButton);
        });
        SendMessageA(program.dialog, WM_COMMAND, MAKEWPARAM(CommandAbout, 0), 0);
        EXPECT_EQ(boxes.captions(), std::vector<std::string>{"About Valbrix"});
    }
    EXPECT_TRUE(visibleWithTheBox);
    EXPECT_FALSE(program.shell->isInTray());

    // Another window takes it: the dialog goes into the tray, and a click on the icon brings it back.
    const HWND other = CreateWindowA("Static", "Spreadsheet", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                     nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(other);
    EXPECT_TRUE(program.runUntil([&] { return !IsWindowVisible(program.dialog); }));
    EXPECT_TRUE(program.shell->isInTray());
    SendMessageA(program.dialog, MSG_TRAY_CALLBACK, 1, WM_LBUTTONUP);
    EXPECT_TRUE(IsWindowVisible(program.dialog));
    EXPECT_FALSE(program.shell->isInTray());
    DestroyWindow(other);
}

// A shell that refuses the icon (Explorer not ready at logon): the dialog is minimised instead of
// hidden and says so, the icon is asked for again on the timer and when the taskbar comes, and once it
// is there the dialog goes into the tray. Restored from the taskbar meanwhile, it comes out of the tray.
TEST(Win32DialogHost, ARefusedTrayIconIsAskedForAgainAndTheDialogWaitsOnTheTaskbar) {
    using Asked = RecordingArea::Asked;
    for (const bool byTimer : {true, false}) {
        SCOPED_TRACE(byTimer ? "timer" : "TaskbarCreated");
        Program program;
        program.start();
        ShowWindow(program.dialog, SW_SHOW);
        program.area.ready = false;
        SendMessageA(program.dialog, WM_COMMAND, MAKEWPARAM(ContinueButton, BN_CLICKED), 0);
        EXPECT_TRUE(program.shell->isInTray());
        EXPECT_TRUE(IsWindowVisible(program.dialog));
        EXPECT_TRUE(IsIconic(program.dialog));
        EXPECT_EQ(program.text(StatusLine), text::noTray.in(1));
        EXPECT_EQ(program.area.asked, (std::vector<Asked>{{NIM_ADD, false}, {NIM_MODIFY, false}}));

        program.area.asked.clear();
        program.area.ready = true;
        if (byTimer) SendMessageA(program.dialog, WM_TIMER, trayRetryTimer, 0);
        else SendMessageA(program.dialog, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
        EXPECT_EQ(program.area.asked, (std::vector<Asked>{{NIM_ADD, true}}));
        EXPECT_FALSE(IsWindowVisible(program.dialog));
        EXPECT_TRUE(program.shell->isInTray());
        SendMessageA(program.dialog, MSG_TRAY_CALLBACK, 1, WM_LBUTTONUP);
        EXPECT_TRUE(IsWindowVisible(program.dialog));
        EXPECT_FALSE(IsIconic(program.dialog));
        EXPECT_FALSE(program.shell->isInTray());
    }
    // Brought back from the taskbar while there is no icon.
    Program program;
    program.start();
    ShowWindow(program.dialog, SW_SHOW);
    program.area.ready = false;
    SendMessageA(program.dialog, WM_COMMAND, MAKEWPARAM(ContinueButton, BN_CLICKED), 0);
    ASSERT_TRUE(IsIconic(program.dialog));
    ShowWindow(program.dialog, SW_RESTORE);
    EXPECT_FALSE(program.shell->isInTray());
    EXPECT_FALSE(IsIconic(program.dialog));
}

// What the user does while the tray menu is open, from inside the menu's own loop.
enum class InTheMenu { Escape, ChooseSettings, ChooseTransfer, ClickElsewhere, ClickTheTaskbar };

struct MenuScene {
    InTheMenu action;
    HWND dialog;
    HWND elsewhere;
    HWND taskbar;
};

// A timer of the user's window, which carries the scene.
void CALLBACK actInTheMenu(HWND window, UINT, UINT_PTR timer, DWORD) {
    KillTimer(window, timer);
    const auto& scene = *reinterpret_cast<const MenuScene*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    // A choice in the menu arrives as a posted command once the menu has closed.
    if (scene.action == InTheMenu::ChooseSettings)
        PostMessageA(scene.dialog, WM_COMMAND, MAKEWPARAM(CommandTraySettings, 0), 0);
    if (scene.action == InTheMenu::ChooseTransfer)
        PostMessageA(scene.dialog, WM_COMMAND, MAKEWPARAM(CommandTransferActive, 0), 0);
    if (scene.action == InTheMenu::ClickElsewhere) SetForegroundWindow(scene.elsewhere);
    if (scene.action == InTheMenu::ClickTheTaskbar) SetForegroundWindow(scene.taskbar);
    EndMenu();
}

// The tray menu needs the hidden dialog in front; when it closes, the window the user worked in gets
// the keyboard back, unless the choice brought the dialog on screen or the user went elsewhere.
TEST(Win32DialogHost, TheTrayMenuGivesTheKeyboardBackToTheUsersWindow) {
    struct Case {
        const char* what;
        bool fromTheTaskbar;  // the click on the icon gave the activation to the taskbar first
        InTheMenu action;
        bool dialogShown;
        bool toElsewhere;
    };
    const Case cases[] = {
        {"closed with Escape", false, InTheMenu::Escape, false, false},
        {"transfer switched", false, InTheMenu::ChooseTransfer, false, false},
        {"transfer switched from the taskbar", true, InTheMenu::ChooseTransfer, false, false},
        {"settings chosen", false, InTheMenu::ChooseSettings, true, false},
        {"another window clicked", true, InTheMenu::ClickElsewhere, false, true},
        {"the taskbar clicked", true, InTheMenu::ClickTheTaskbar, false, false},
    };
    WNDCLASSA taskbarClass{};
    taskbarClass.lpfnWndProc = DefWindowProcA;
    taskbarClass.hInstance = GetModuleHandleA(nullptr);
    taskbarClass.lpszClassName = "Shell_TrayWnd";
    RegisterClassA(&taskbarClass);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Program program;
        program.start();
        const auto window = [](const char* title, int x) {
            return CreateWindowA("Static", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, 0, 200, 100, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        };
        const HWND spreadsheet = window("Spreadsheet", 0);
        const HWND elsewhere = window("Elsewhere", 220);
        SetForegroundWindow(spreadsheet);
        ASSERT_TRUE(program.runUntil([&] { return program.shell->isInTray(); }));
        ASSERT_TRUE(program.runUntil([&] { return GetForegroundWindow() == spreadsheet; }));
        const HWND taskbar = c.fromTheTaskbar ? CreateWindowExA(WS_EX_TOPMOST, "Shell_TrayWnd", "", WS_POPUP | WS_VISIBLE,
                                                                0, 500, 400, 30, nullptr, nullptr,
                                                                GetModuleHandleA(nullptr), nullptr)
                                              : nullptr;
        if (taskbar != nullptr) {
            SetForegroundWindow(taskbar);
            ASSERT_TRUE(program.runUntil([&] { return GetForegroundWindow() == taskbar; }));
        }

        const MenuScene scene{c.action, program.dialog, elsewhere, taskbar};
        SetWindowLongPtrA(spreadsheet, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&scene));
        SetTimer(spreadsheet, 1, 200, actInTheMenu);
        SendMessageA(program.dialog, MSG_TRAY_CALLBACK, 1, WM_RBUTTONUP);
        // Work posted now runs after the menu's choice and whatever follows the menu.
        bool settled = false;
        program.host.post([&] { settled = true; });
        ASSERT_TRUE(program.runUntil([&] { return settled; }));
        const HWND expected = c.dialogShown ? program.dialog : c.toElsewhere ? elsewhere : spreadsheet;
        EXPECT_EQ(GetForegroundWindow(), expected);
        EXPECT_EQ(IsWindowVisible(program.dialog) != FALSE, c.dialogShown);
        if (taskbar != nullptr) DestroyWindow(taskbar);
        DestroyWindow(elsewhere);
        DestroyWindow(spreadsheet);
    }
}

// The system tells the dialog when the workstation is locked or the session leaves the screen; a
// locked or switched-away session refuses typed keys.
TEST(Win32DialogHost, TheSessionsLockAndSwitchesAreFollowed) {
    struct Case {
        const char* what;
        std::vector<WPARAM> changes;
        bool locked;
        bool inactive;
    };
    const Case cases[] = {
        {"started", {}, false, false},
        {"locked", {WTS_SESSION_LOCK}, true, false},
        {"unlocked", {WTS_SESSION_LOCK, WTS_SESSION_UNLOCK}, false, false},
        {"switched away", {WTS_CONSOLE_DISCONNECT}, false, true},
        {"taken over remotely", {WTS_CONSOLE_DISCONNECT, WTS_REMOTE_CONNECT}, false, false},
        {"remote client gone", {WTS_REMOTE_CONNECT, WTS_REMOTE_DISCONNECT}, false, true},
        {"unlocked while away", {WTS_SESSION_LOCK, WTS_CONSOLE_DISCONNECT, WTS_SESSION_UNLOCK}, false, true},
        {"back and locked", {WTS_CONSOLE_DISCONNECT, WTS_CONSOLE_CONNECT, WTS_SESSION_LOCK}, true, false},
        {"back and unlocked", {WTS_CONSOLE_DISCONNECT, WTS_SESSION_LOCK, WTS_CONSOLE_CONNECT, WTS_SESSION_UNLOCK},
         false, false},
        {"someone logged on elsewhere", {WTS_SESSION_LOGON, WTS_SESSION_REMOTE_CONTROL}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Program program;
        program.start();
        for (const WPARAM change : c.changes) SendMessageA(program.dialog, WM_WTSSESSION_CHANGE, change, 1);
        // Asked as the export thread asks.
        DeskState desk;
        std::thread([&] { desk = program.host.typingHost().deskState(); }).join();
        EXPECT_EQ(desk.sessionLocked, c.locked);
        EXPECT_EQ(desk.sessionInactive, c.inactive);
    }
}

// The close box and Alt+F4 are the user's Exit, which asks when asked to; another program's WM_CLOSE
// ends the program without a question.
TEST(Win32DialogHost, TheUsersCloseAsksAndAnotherProgramsCloseEnds) {
    Program program;
    program.settingsFile("AskForClose=1\r\n");
    program.start();
    BoxWatcher boxes([](HWND box, const std::string&) { testing::pressButton(box, IDNO); });
    PostMessageA(program.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(program.runUntil([&] { return boxes.captions().size() == 1; }));
    program.runUntil([] { return false; }, 300);
    EXPECT_FALSE(program.quit);
    EXPECT_EQ(boxes.captions(), std::vector<std::string>{"Question"});

    PostMessageA(program.dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.runUntilQuit());
    EXPECT_EQ(program.exitCode, 0);
    EXPECT_EQ(boxes.captions().size(), 1u);
}

struct OpenBox {
    const char* name;
    const char* settings;
    UINT message;  // sent to the dialog to open the box
    WPARAM wParam;
    const char* caption;
};

// What the test sends to end the program while a box may be open.
struct EndRequest {
    const char* name;
    std::function<void(HWND dialog)> send;  // from another thread, as the system or taskkill does it
};

DEV_BROADCAST_HDR portArrival{sizeof(DEV_BROADCAST_HDR), DBT_DEVTYP_PORT, 0};

const EndRequest endRequests[] = {
    {"taskkill", [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); }},
    {"log off",
     [](HWND dialog) {
         SendMessageA(dialog, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
         SendMessageA(dialog, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
     }},
};

// However the program is asked to end, and whichever of its boxes is open, it ends as Exit does: the
// choices are saved, the port is closed, the loop ends with 0, and no question is asked.
TEST(Win32DialogHost, EndingFromOutsideSavesAlsoWhileABoxIsOpen) {
    const OpenBox openBoxes[] = {
        {"no box", "AskForClose=1\r\n", 0, 0, nullptr},
        {"exit question", "AskForClose=1\r\n", WM_COMMAND, ExitButton, "Question"},
        {"About box", "", WM_COMMAND, CommandAbout, "About Valbrix"},
        {"port notice", "DisplayPortChanged=1\r\n", WM_DEVICECHANGE, DBT_DEVICEARRIVAL, "Valbrix Info"},
        // After this one the shell brings the dialog back and asks the gauge for its name.
        {"port removal notice", "DisplayPortChanged=1\r\n", WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, "Valbrix Info"},
    };
    for (const OpenBox& box : openBoxes) {
        for (const EndRequest& request : endRequests) {
            SCOPED_TRACE(std::string(box.name) + ", " + request.name);
            Program program;
            program.settingsFile(box.settings);
            program.start();
            ASSERT_NE(program.dialog, nullptr);
            program.choose(ControlKeyList, 2);  // "Tab"
            std::jthread ender;
            BoxWatcher boxes([&](HWND, const std::string&) {
                ender = std::jthread([&] { request.send(program.dialog); });
            });
            // The box's own loop runs the messages until it is closed.
            if (box.message == 0)
                ender = std::jthread([&] { request.send(program.dialog); });
            else
                SendMessageA(program.dialog, box.message, box.wParam,
                             box.message == WM_DEVICECHANGE ? reinterpret_cast<LPARAM>(&portArrival) : 0);
            EXPECT_TRUE(program.runUntilQuit());
            EXPECT_EQ(program.exitCode, 0);
            EXPECT_EQ(program.stored("Separator"), "Tab");
            EXPECT_FALSE(program.ports.lines[1]->open);
            EXPECT_EQ(program.host.window(), nullptr);
            const std::vector<std::string> seen = boxes.captions();
            EXPECT_EQ(seen, box.caption == nullptr ? std::vector<std::string>{} : std::vector<std::string>{box.caption});
        }
    }
}

// A port change that fails twice has two boxes to show. Asked to end at the first, the program shows
// no second one.
TEST(Win32DialogHost, NoFurtherBoxOpensOnceTheEndIsAsked) {
    Program program;
    const std::shared_ptr<FakeLine> second = program.ports.add(2);
    program.start();
    ASSERT_NE(program.dialog, nullptr);
    program.choose(ControlKeyList, 2);  // "Tab"
    second->failTimeouts = true;
    second->failLineSettings = true;
    std::jthread ender;
    BoxWatcher boxes([&](HWND, const std::string&) {
        ender = std::jthread([&] { PostMessageA(program.dialog, WM_CLOSE, 0, 0); });
    });
    program.choose(PortListControl, 1);  // COM2
    EXPECT_TRUE(program.runUntilQuit());
    EXPECT_EQ(program.exitCode, 0);
    EXPECT_EQ(program.stored("Separator"), "Tab");
    EXPECT_EQ(boxes.captions().size(), 1u);
}

// Windows may end the process as soon as WM_ENDSESSION is answered: by then the settings are written.
TEST(Win32DialogHost, TheSessionEndsOnlyAfterTheSettingsAreWritten) {
    Program program;
    program.start();
    program.choose(ControlKeyList, 3);  // "Right"
    std::string storedWhenAnswered;
    std::thread system([&] {
        SendMessageA(program.dialog, WM_QUERYENDSESSION, 0, 0);
        SendMessageA(program.dialog, WM_ENDSESSION, TRUE, 0);
        storedWhenAnswered = program.stored("Separator");
    });
    EXPECT_TRUE(program.runUntilQuit());
    system.join();
    EXPECT_EQ(storedWhenAnswered, "Right");
}

TEST(Win32DialogHost, OnlyPortsAreAnnounced) {
    struct Case {
        DWORD deviceType;
        WPARAM event;
        std::vector<std::string> boxes;
    };
    const Case cases[] = {
        {DBT_DEVTYP_PORT, DBT_DEVICEARRIVAL, {"Valbrix Info"}},
        {DBT_DEVTYP_PORT, DBT_DEVICEREMOVECOMPLETE, {"Valbrix Info"}},
        {DBT_DEVTYP_VOLUME, DBT_DEVICEARRIVAL, {}},
        {DBT_DEVTYP_PORT, DBT_DEVICEQUERYREMOVE, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.deviceType) + " " + std::to_string(c.event));
        Program program;
        program.settingsFile("DisplayPortChanged=1\r\n");
        program.start();
        BoxWatcher boxes([](HWND box, const std::string&) { testing::pressButton(box, IDOK); });
        DEV_BROADCAST_HDR header{sizeof header, c.deviceType, 0};
        SendMessageA(program.dialog, WM_DEVICECHANGE, c.event, reinterpret_cast<LPARAM>(&header));
        // The broadcast is answered before the box shows.
        EXPECT_TRUE(boxes.captions().empty());
        program.runUntil([] { return false; }, 200);
        EXPECT_EQ(boxes.captions(), c.boxes);
    }
}

}  // namespace
}  // namespace valbrix
