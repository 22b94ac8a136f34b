#pragma once
// Dialog 301 as a Win32 modeless dialog made from the program's resources: every control under its
// number, the menu bar, the tray icon, the boxes, the fonts and the status tooltip. It maps numbers to
// windows and window messages to the shell's reports; what is shown and what a command does is the
// shell's business.

#include <windows.h>
#include <commctrl.h>

#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "app/dialog_host.h"
#include "win32/html_help.h"
#include "win32/screen_dpi.h"
#include "win32/tray_notification.h"
#include "win32/value_font.h"
#include "win32/win32_typing_host.h"

namespace valbrix {

class Shell;

// The message that carries posted work to the user-interface thread.
inline constexpr UINT workMessage = WM_APP + 1;
// The dialog lost the activation a moment ago.
inline constexpr UINT deactivatedMessage = WM_APP + 2;
// The tray menu has closed and the command chosen in it, if any, has been handled.
inline constexpr UINT trayMenuClosedMessage = WM_APP + 3;

class Win32DialogHost final : public DialogHost {
public:
    explicit Win32DialogHost(HINSTANCE instance, NotificationArea& area = systemNotificationArea());
    ~Win32DialogHost() override;
    Win32DialogHost(const Win32DialogHost&) = delete;
    Win32DialogHost& operator=(const Win32DialogHost&) = delete;

    // The shell to report to; before this, window messages go nowhere.
    void attach(Shell& shell);
    // Creates dialog 301 of the resources, which runs the shell's start-up; null when that failed or
    // the program was ended during it.
    HWND createMainDialog();
    // The dialog while it exists, null before and after.
    HWND window() const { return dialog; }
    // How the desk stands before a value is typed, asked from the export thread.
    TypingHost& typingHost() { return typing; }

    void setControlText(int control, const std::string& text) override;
    std::string controlText(int control) override;
    void enableControl(int control, bool enabled) override;
    void setListItems(int control, const std::vector<std::string>& items, int selected) override;
    int selectedIndex(int control) override;
    std::string selectedText(int control) override;
    void setControlFont(int control, int height, int weight) override;
    void setStatusTooltip(const std::string& text) override;
    void setMenuBar(const Menu& menu) override;
    void repaint() override;
    void showWindow() override;
    void hideWindow() override;
    void addTrayIcon(int icon, const std::string& tip) override;
    void modifyTrayIcon(int icon, const std::string& tip) override;
    void removeTrayIcon() override;
    // False while the icon wanted is not there: the dialog is minimised instead of hidden.
    bool trayAvailable() override { return !tray.wanted() || tray.shown(); }
    void showTrayMenu(const Menu& menu) override;
    bool askYesNo(const std::string& caption, const std::string& text) override;
    void showNotice(const std::string& caption, const std::string& text) override;
    void showAbout(const AboutBox& box) override;
    void openHelpFile(const std::string& fileName) override;
    void closeBoxes() override { closeOwnBoxes(); }
    void endDialog() override;
    void traceLine(const std::string& line) override;
    void post(std::function<void()> work) override;

private:
    static INT_PTR CALLBACK dialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK aboutProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The message table of the main dialog (main_dialog_messages.cpp).
    INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Runs the message table, and an end requested from outside once no handler of ours is left
    // running below it.
    INT_PTR dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Log off, shut down or another program's WM_CLOSE: the program ends as Exit ends it, without the
    // question. Inside one of the program's boxes the boxes are closed first, and the end follows
    // when the code that opened them has returned.
    void endFromOutside();
    void closeOwnBoxes();
    void runPosted();
    // The timer or a new taskbar: a refused icon is asked for again, and the dialog minimised for lack
    // of it goes into the tray once it is there.
    void trayAgain();
    HWND item(int control) const;
    // The dialog went to a screen of another density, or the density changed: the window takes the
    // rectangle the system suggests, and what the program sized itself follows. The system rescales
    // the dialog's template and its own font, not the fonts and drop-downs set here.
    void dpiChanged(UINT newDpi, const RECT& suggested);
    void sizeDropDown(int list);
    // The status line as the tool of its tooltip, without a text.
    TTTOOLINFOA statusTool() const;
    // The window the user works in, as far as the program can tell: the foreground unless that is the
    // dialog, a window it owns, a menu or the taskbar, else the topmost window that takes keys.
    HWND usersWindow() const;
    // After the tray menu: the keyboard goes back to the window that had it before.
    void giveForegroundBack();

    // What the About box procedure is given.
    struct AboutContext {
        Shell* shell;
        const AboutBox* box;
    };

    const HINSTANCE instance;
    Shell* shell = nullptr;
    HWND dialog = nullptr;
    HWND statusTooltip = nullptr;
    // A value field's font as the shell asked for it, at 96 dpi, and the one made for the dialog.
    struct ValueFont {
        int control;
        int height;
        int weight;
        HFONT made;
    };
    void makeFont(ValueFont& font);
    const ValueFace valueFace;
    UINT dpi = normalDpi;  // the dialog's density
    std::vector<ValueFont> valueFonts;
    std::vector<int> sizedLists;  // the lists whose drop-down the host has sized
    TrayNotification tray;
    HtmlHelp help;
    Win32TypingHost typing;
    const UINT taskbarCreated;  // Explorer started anew: the tray icon has to be added again
    int handlerDepth = 0;
    bool endPending = false;
    HWND foregroundBeforeMenu = nullptr;  // the window to give the keyboard back to after the tray menu

    std::mutex postedLock;
    std::deque<std::function<void()>> posted;
    HWND postTarget = nullptr;  // null once the message loop is ending: posted work is dropped
    bool wakeQueued = false;    // a workMessage is on its way
};

}  // namespace valbrix
