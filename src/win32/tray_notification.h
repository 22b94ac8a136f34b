#pragma once
// The program's one icon in the notification area: picture, tip and the callback message 1025 that
// brings its clicks to the main dialog. The icon wanted is remembered: a shell that refuses it (Explorer
// not ready at logon, a slow shell) is asked again on a timer and when the taskbar comes up, until the
// icon is there. The picture is drawn for the notification area's size at the owner's density, and
// drawn anew when that changes.

#include <windows.h>

#include <string>

namespace valbrix {

// Where the icon goes: the system's notification area, or a recording one in the tests.
class NotificationArea {
public:
    virtual ~NotificationArea() = default;
    virtual bool notify(DWORD action, NOTIFYICONDATAA& record) = 0;
};

NotificationArea& systemNotificationArea();

// The timer of the owner window that asks for a refused icon again.
inline constexpr UINT_PTR trayRetryTimer = 0x7A1;
inline constexpr UINT trayRetryMs = 2000;

class TrayNotification {
public:
    TrayNotification(HINSTANCE instance, NotificationArea& area) : instance(instance), area(area) {}
    ~TrayNotification();
    TrayNotification(const TrayNotification&) = delete;
    TrayNotification& operator=(const TrayNotification&) = delete;

    // The window that gets the clicks; the icon belongs to it.
    void attach(HWND owner) { this->owner = owner; }

    void add(int icon, const std::string& tip);
    // The icon wanted changes; on screen at once when it is there.
    void modify(int icon, const std::string& tip);
    void remove();
    // The timer or a new taskbar: the icon wanted comes (back) as it was. True when it is there now
    // and was not before.
    bool addAgain();
    // The owner moved to a screen of another density, or the density changed: a shown icon gets the
    // picture at the size for it.
    void setDpi(UINT dpi);

    bool wanted() const { return isWanted; }
    bool shown() const { return isShown; }

private:
    bool notify(DWORD action);
    bool tryAdd();
    // The wanted picture at the wanted size, loaded when either changed.
    HICON picture();

    const HINSTANCE instance;
    NotificationArea& area;
    HWND owner = nullptr;
    bool isWanted = false;
    bool isShown = false;
    int wantedIcon = 0;
    std::string wantedTip;
    UINT dpi = USER_DEFAULT_SCREEN_DPI;
    HICON loaded = nullptr;  // the picture last handed to the shell, which copies it
    int loadedIcon = 0;
    int loadedSize = 0;
};

}  // namespace valbrix
