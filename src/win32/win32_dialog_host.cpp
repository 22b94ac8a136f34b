#include "win32/win32_dialog_host.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "app/shell.h"
#include "settings/settings.h"
#include "settings/settings_paths.h"
#include "win32/win32_menus.h"

namespace valbrix {
namespace {

constexpr int dropDownPixels = 300;  // at 96 dpi
constexpr const char* boxClass = "#32770";  // message boxes and modal dialog boxes

}  // namespace

Win32DialogHost::Win32DialogHost(HINSTANCE instance, NotificationArea& area)
    : instance(instance),
      valueFace(chooseValueFace(fontInstalled)),
      tray(instance, area),
      taskbarCreated(RegisterWindowMessageA("TaskbarCreated")) {}

// The shell may be gone already: the dialog's last messages reach nobody.
Win32DialogHost::~Win32DialogHost() {
    shell = nullptr;
    if (dialog != nullptr) DestroyWindow(dialog);
    for (const ValueFont& font : valueFonts) DeleteObject(font.made);
}

void Win32DialogHost::attach(Shell& shellToReport) { shell = &shellToReport; }

HWND Win32DialogHost::createMainDialog() {
    CreateDialogParamA(instance, MAKEINTRESOURCEA(DLG_MAIN), nullptr, dialogProcedure,
                       reinterpret_cast<LPARAM>(this));
    return dialog;
}

HWND Win32DialogHost::item(int control) const { return dialog == nullptr ? nullptr : GetDlgItem(dialog, control); }

void Win32DialogHost::setControlText(int control, const std::string& text) {
    if (dialog != nullptr) SetDlgItemTextA(dialog, control, text.c_str());
}

std::string Win32DialogHost::controlText(int control) {
    const HWND window = item(control);
    if (window == nullptr) return {};
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Win32DialogHost::enableControl(int control, bool enabled) {
    if (const HWND window = item(control)) EnableWindow(window, enabled ? TRUE : FALSE);
}

// Setting the selection sends no notification: filling the list is no choice of the user's.
void Win32DialogHost::setListItems(int control, const std::vector<std::string>& items, int selected) {
    const HWND list = item(control);
    if (list == nullptr) return;
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    sizeDropDown(control);
    if (std::find(sizedLists.begin(), sizedLists.end(), control) == sizedLists.end()) sizedLists.push_back(control);
    for (const std::string& text : items)
        SendMessageA(list, CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int Win32DialogHost::selectedIndex(int control) {
    const HWND list = item(control);
    return list == nullptr ? -1 : static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0));
}

std::string Win32DialogHost::selectedText(int control) {
    const HWND list = item(control);
    const int index = selectedIndex(control);
    if (list == nullptr || index < 0) return {};
    const LRESULT length = SendMessageA(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied =
        SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied < 0 ? 0 : static_cast<std::size_t>(copied));
    return text;
}

// The width of a drop-down stays what it is; its height is 300 pixels at 96 dpi.
void Win32DialogHost::sizeDropDown(int control) {
    const HWND list = item(control);
    if (list == nullptr) return;
    RECT box{};
    GetWindowRect(list, &box);
    SetWindowPos(list, nullptr, 0, 0, box.right - box.left, atDpi(dropDownPixels, dpi),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A field's font lives until the field gets another, or the density changes.
void Win32DialogHost::setControlFont(int control, int height, int weight) {
    const HWND window = item(control);
    if (window == nullptr) return;
    const auto known = std::find_if(valueFonts.begin(), valueFonts.end(),
                                    [control](const ValueFont& font) { return font.control == control; });
    if (known != valueFonts.end()) {
        known->height = height;
        known->weight = weight;
        makeFont(*known);
        return;
    }
    // Windows 10 from 1703 on gives every control of a dialog the dialog's own font when the density
    // changes; this one keeps its own.
    using ControlDpiBehaviour = BOOL(WINAPI*)(HWND, int, int);
    static const auto keepFont =
        newerFunction<ControlDpiBehaviour>("user32.dll", "SetDialogControlDpiChangeBehavior");
    constexpr int disableFontUpdate = 1;  // DCDC_DISABLE_FONT_UPDATE
    if (keepFont != nullptr) keepFont(window, disableFontUpdate, disableFontUpdate);
    valueFonts.push_back({control, height, weight, nullptr});
    makeFont(valueFonts.back());
}

// The old font goes once the field draws with the new one.
void Win32DialogHost::makeFont(ValueFont& font) {
    const HWND window = item(font.control);
    const HFONT made = createValueFont(valueFace, atDpi(font.height, dpi), font.weight);
    if (window == nullptr || made == nullptr) {
        if (made != nullptr) DeleteObject(made);
        return;
    }
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
    if (font.made != nullptr) DeleteObject(font.made);
    font.made = made;
}

// The drop-downs and the status line's tooltip follow once the system has laid the dialog out anew
// after this message.
void Win32DialogHost::dpiChanged(UINT newDpi, const RECT& suggested) {
    dpi = newDpi;
    SetWindowPos(dialog, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    for (ValueFont& font : valueFonts) makeFont(font);
    tray.setDpi(dpi);
    post([this] {
        for (const int list : sizedLists) sizeDropDown(list);
        if (statusTooltip == nullptr) return;
        TTTOOLINFOA tool = statusTool();
        SendMessageA(statusTooltip, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
    });
}

// The status line is disabled, and a disabled control gets no mouse messages: they go to the dialog.
// So the tool is the status line's rectangle on the dialog, which sees the pointer over it.
TTTOOLINFOA Win32DialogHost::statusTool() const {
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.uId = StatusLine;
    GetWindowRect(item(StatusLine), &tool.rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&tool.rect), 2);
    return tool;
}

void Win32DialogHost::setStatusTooltip(const std::string& text) {
    if (item(StatusLine) == nullptr) return;
    if (statusTooltip == nullptr)
        statusTooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, instance, nullptr);
    if (statusTooltip == nullptr) return;
    TTTOOLINFOA tool = statusTool();
    std::string copy = text;
    tool.lpszText = copy.data();
    SendMessageA(statusTooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(statusTooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

// The previous bar goes only now; the command that rebuilds the bar may have come from it, but a
// menu is closed before its command arrives.
void Win32DialogHost::setMenuBar(const Menu& menu) {
    if (dialog == nullptr) return;
    const HMENU previous = GetMenu(dialog);
    SetMenu(dialog, createMenuBar(menu));
    if (previous != nullptr) DestroyMenu(previous);
    DrawMenuBar(dialog);
}

void Win32DialogHost::repaint() {
    if (dialog != nullptr) RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void Win32DialogHost::showWindow() {
    if (dialog == nullptr) return;
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    if (IsIconic(dialog)) OpenIcon(dialog);
    SetFocus(dialog);
    SetForegroundWindow(dialog);
}

// The window that had the focus before keeps it: values are typed there. Without the icon a hidden
// dialog could not be reached at all; minimised it stays on the taskbar.
void Win32DialogHost::hideWindow() {
    if (dialog != nullptr) ShowWindow(dialog, tray.shown() ? SW_HIDE : SW_MINIMIZE);
}

void Win32DialogHost::trayAgain() {
    if (tray.addAgain() && dialog != nullptr && IsIconic(dialog)) ShowWindow(dialog, SW_HIDE);
}

void Win32DialogHost::addTrayIcon(int icon, const std::string& tip) { tray.add(icon, tip); }

void Win32DialogHost::modifyTrayIcon(int icon, const std::string& tip) { tray.modify(icon, tip); }

void Win32DialogHost::removeTrayIcon() { tray.remove(); }

// Loaded anew at every click and released once its choice has been posted. The dialog goes to the
// front first, and the empty message afterwards, so that the menu closes when the user clicks
// elsewhere. The menu's choice arrives as a posted command; the note that the menu has closed is
// posted behind it, so that the keyboard goes back only once it is known whether the choice brought
// the dialog on screen.
void Win32DialogHost::showTrayMenu(const Menu& menu) {
    if (dialog == nullptr) return;
    POINT cursor{};
    GetCursorPos(&cursor);
    const HMENU loaded = loadTrayMenu(instance, menu);
    if (loaded == nullptr) return;
    foregroundBeforeMenu = usersWindow();
    SetForegroundWindow(dialog);
    TrackPopupMenu(GetSubMenu(loaded, 0), TPM_RIGHTALIGN | TPM_BOTTOMALIGN, cursor.x, cursor.y, 0, dialog, nullptr);
    PostMessageA(dialog, WM_NULL, 0, 0);
    PostMessageA(dialog, trayMenuClosedMessage, 0, 0);
    DestroyMenu(loaded);
}

namespace {

// A click on the tray icon may hand the activation to the taskbar, where no value belongs (under wine
// to its stand-ins for the X desktop's panel, the icons docked in it and its own tray window where the
// desktop has none); a menu is gone once it has closed.
bool shellOrMenu(HWND window) {
    char name[32] = {};
    GetClassNameA(GetAncestor(window, GA_ROOT), name, sizeof name);
    for (const char* kind : {"Shell_TrayWnd", "Shell_SecondaryTrayWnd", "NotifyIconOverflowWindow", "#32768",
                             "__wine_x11_foreign_window", "__winex11_tray_icon", "__winex11_standalone_tray"})
        if (lstrcmpA(name, kind) == 0) return true;
    return false;
}

}  // namespace

// The user may have clicked the tray icon from a window of another program, or the click gave the
// activation to the taskbar: then the window the user was in is the first one below it, as seen from
// the top, that takes keys.
HWND Win32DialogHost::usersWindow() const {
    const auto takesKeys = [this](HWND window) {
        const LONG_PTR extended = GetWindowLongPtrA(window, GWL_EXSTYLE);
        return GetAncestor(window, GA_ROOTOWNER) != dialog && !shellOrMenu(window) && IsWindowEnabled(window) &&
               (extended & (WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE)) == 0;
    };
    if (const HWND front = GetForegroundWindow(); front != nullptr && takesKeys(front)) return front;
    for (HWND window = GetTopWindow(nullptr); window != nullptr; window = GetWindow(window, GW_HWNDNEXT))
        if (IsWindowVisible(window) && !IsIconic(window) && takesKeys(window)) return window;
    return nullptr;
}

// Keys typed into the hidden dialog would be lost and would change its lists, and the taskbar, which
// a click on it or on the icon may have activated while the menu closed, takes none. A choice that
// brought the dialog on screen or opened a box or the help keeps the keyboard, and so does a window the
// user clicked into to close the menu.
void Win32DialogHost::giveForegroundBack() {
    const HWND back = std::exchange(foregroundBeforeMenu, nullptr);
    if (dialog == nullptr || IsWindowVisible(dialog) || back == nullptr || !IsWindow(back)) return;
    const HWND front = GetForegroundWindow();
    if (front == nullptr || front == dialog || shellOrMenu(front)) SetForegroundWindow(back);
}

// A question that was closed because the program is ending counts as No.
bool Win32DialogHost::askYesNo(const std::string& caption, const std::string& text) {
    return MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONINFORMATION) == IDYES;
}

void Win32DialogHost::showNotice(const std::string& caption, const std::string& text) {
    MessageBoxA(dialog, text.c_str(), caption.c_str(), MB_OK | MB_TOPMOST);
}

void Win32DialogHost::showAbout(const AboutBox& box) {
    AboutContext context{shell, &box};
    DialogBoxParamA(instance, MAKEINTRESOURCEA(DLG_ABOUT), dialog, aboutProcedure, reinterpret_cast<LPARAM>(&context));
}

// The help files lie beside the program, wherever it was started from.
void Win32DialogHost::openHelpFile(const std::string& fileName) {
    help.open(absolutePath(fileName, systemSettingsLocations().programDirectory));
}

void Win32DialogHost::endDialog() {
    {
        const std::lock_guard<std::mutex> lock(postedLock);
        postTarget = nullptr;
        posted.clear();
    }
    closeOwnBoxes();
    tray.remove();
    if (dialog == nullptr) {
        PostQuitMessage(0);
        return;
    }
    const HWND ending = dialog;
    dialog = nullptr;
    // WM_DESTROY posts the quit message.
    DestroyWindow(ending);
}

// Whoever follows the program reads it with a debugger or DebugView; nothing shows on screen.
void Win32DialogHost::traceLine(const std::string& line) { OutputDebugStringA((line + "\n").c_str()); }

void Win32DialogHost::post(std::function<void()> work) {
    const std::lock_guard<std::mutex> lock(postedLock);
    if (postTarget == nullptr) return;
    posted.push_back(std::move(work));
    // One wake-up at a time drains everything queued; a failed one is tried again with the next work.
    if (!wakeQueued) wakeQueued = PostMessageA(postTarget, workMessage, 0, 0) != FALSE;
}

void Win32DialogHost::runPosted() {
    std::deque<std::function<void()>> work;
    {
        const std::lock_guard<std::mutex> lock(postedLock);
        wakeQueued = false;
        work.swap(posted);
    }
    for (std::function<void()>& step : work) step();
}

namespace {

BOOL CALLBACK cancelBox(HWND window, LPARAM) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, boxClass) == 0) EndDialog(window, IDCANCEL);
    return TRUE;
}

}  // namespace

// Every box of the user-interface thread, and a menu that is open, ends as if cancelled, so that the
// code that opened it returns.
void Win32DialogHost::closeOwnBoxes() {
    EndMenu();
    EnumThreadWindows(GetCurrentThreadId(), cancelBox, 0);
}

}  // namespace valbrix
