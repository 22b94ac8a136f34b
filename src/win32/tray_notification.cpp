#include "win32/tray_notification.h"

#include <shellapi.h>

#include <cstring>

#include "app/resource_ids.h"
#include "win32/screen_dpi.h"

namespace valbrix {
namespace {

constexpr UINT trayIconId = 1;
constexpr std::size_t tipLimit = 127;

// The picture at the size the notification area draws, so that the shell need not stretch it: scaled
// down from the next larger picture of the resource where it has none of that size (20 pixels at
// 125 %), which looks sharper than the system's stretching of the next smaller one. Not shared: a
// shared icon keeps the first size it was loaded at.
HICON smallPicture(HINSTANCE instance, int icon, int size) {
    using ScaleDown = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
    static const auto scaleDown = newerFunction<ScaleDown>("comctl32.dll", "LoadIconWithScaleDown");
    HICON picture = nullptr;
    if (scaleDown != nullptr && SUCCEEDED(scaleDown(instance, MAKEINTRESOURCEW(icon), size, size, &picture)))
        return picture;
    return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(icon), IMAGE_ICON, size, size, 0));
}

// The record that names the icon; every other field is zero until set.
NOTIFYICONDATAA recordOf(HWND owner) {
    NOTIFYICONDATAA record;
    std::memset(&record, 0, sizeof record);
    record.cbSize = sizeof record;
    record.hWnd = owner;
    record.uID = trayIconId;
    return record;
}

class SystemNotificationArea final : public NotificationArea {
public:
    bool notify(DWORD action, NOTIFYICONDATAA& record) override { return Shell_NotifyIconA(action, &record) != FALSE; }
};

}  // namespace

NotificationArea& systemNotificationArea() {
    static SystemNotificationArea area;
    return area;
}

TrayNotification::~TrayNotification() {
    remove();
    if (loaded != nullptr) DestroyIcon(loaded);
}

void TrayNotification::add(int icon, const std::string& tip) {
    isWanted = true;
    wantedIcon = icon;
    wantedTip = tip;
    tryAdd();
}

void TrayNotification::modify(int icon, const std::string& tip) {
    if (!isWanted) return;
    wantedIcon = icon;
    wantedTip = tip;
    if (isShown) notify(NIM_MODIFY);
}

void TrayNotification::remove() {
    if (owner != nullptr) KillTimer(owner, trayRetryTimer);
    isWanted = false;
    if (!isShown) return;
    NOTIFYICONDATAA record = recordOf(owner);
    area.notify(NIM_DELETE, record);
    isShown = false;
}

bool TrayNotification::addAgain() {
    if (!isWanted) return false;
    // After a restart of Explorer the icon that was there is gone too.
    isShown = false;
    return tryAdd();
}

void TrayNotification::setDpi(UINT newDpi) {
    dpi = newDpi;
    if (isShown) notify(NIM_MODIFY);
}

bool TrayNotification::tryAdd() {
    // An icon that is there after all (a taskbar message without a restart of Explorer) takes the change.
    isShown = notify(NIM_ADD) || notify(NIM_MODIFY);
    if (owner != nullptr) {
        if (isShown) KillTimer(owner, trayRetryTimer);
        else SetTimer(owner, trayRetryTimer, trayRetryMs, nullptr);
    }
    return isShown;
}

bool TrayNotification::notify(DWORD action) {
    if (owner == nullptr) return false;
    NOTIFYICONDATAA record = recordOf(owner);
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = MSG_TRAY_CALLBACK;
    record.hIcon = picture();
    std::strncpy(record.szTip, wantedTip.c_str(), tipLimit);
    return area.notify(action, record);
}

HICON TrayNotification::picture() {
    const int size = smallIconSize(dpi);
    if (loaded != nullptr && loadedIcon == wantedIcon && loadedSize == size) return loaded;
    const HICON fresh = smallPicture(instance, wantedIcon, size);
    if (fresh == nullptr) return loaded;
    if (loaded != nullptr) DestroyIcon(loaded);
    loaded = fresh;
    loadedIcon = wantedIcon;
    loadedSize = size;
    return loaded;
}

}  // namespace valbrix
