#include "win32/tray_notification.h"

#include <shellapi.h>

#include <cstring>

#include "app/resource_ids.h"

namespace valbrix {
namespace {

constexpr UINT trayIconId = 1;
constexpr std::size_t tipLimit = 127;

// The small size the notification area draws, so the picture is not scaled down from 32 pixels.
HICON smallPicture(HINSTANCE instance, int icon) {
    return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(icon), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                         GetSystemMetrics(SM_CYSMICON), LR_SHARED));
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

}  // namespace

void TrayNotification::add(int icon, const std::string& tip) {
    if (notify(NIM_ADD, icon, tip)) shown = true;
    shownIcon = icon;
    shownTip = tip;
}

void TrayNotification::modify(int icon, const std::string& tip) {
    if (!notify(NIM_MODIFY, icon, tip)) return;
    shownIcon = icon;
    shownTip = tip;
}

void TrayNotification::remove() {
    NOTIFYICONDATAA record = recordOf(owner);
    Shell_NotifyIconA(NIM_DELETE, &record);
    shown = false;
}

void TrayNotification::addAgain() {
    if (shown) notify(NIM_ADD, shownIcon, shownTip);
}

bool TrayNotification::notify(DWORD action, int icon, const std::string& tip) {
    if (owner == nullptr) return false;
    NOTIFYICONDATAA record = recordOf(owner);
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = MSG_TRAY_CALLBACK;
    record.hIcon = smallPicture(instance, icon);
    std::strncpy(record.szTip, tip.c_str(), tipLimit);
    return Shell_NotifyIconA(action, &record) != FALSE;
}

}  // namespace valbrix
