#pragma once
// The program's one icon in the notification area: picture, tip and the callback message 1025 that
// brings its clicks to the main dialog.

#include <windows.h>

#include <string>

namespace valbrix {

class TrayNotification {
public:
    explicit TrayNotification(HINSTANCE instance) : instance(instance) {}
    ~TrayNotification() { remove(); }
    TrayNotification(const TrayNotification&) = delete;
    TrayNotification& operator=(const TrayNotification&) = delete;

    // The window that gets the clicks; the icon belongs to it.
    void attach(HWND owner) { this->owner = owner; }

    void add(int icon, const std::string& tip);
    // Without the icon on screen the shell refuses the change, and nothing else happens.
    void modify(int icon, const std::string& tip);
    void remove();
    // Explorer lost its icons when it restarted; the one on show comes back as it was.
    void addAgain();

private:
    bool notify(DWORD action, int icon, const std::string& tip);

    const HINSTANCE instance;
    HWND owner = nullptr;
    bool shown = false;
    int shownIcon = 0;
    std::string shownTip;
};

}  // namespace valbrix
