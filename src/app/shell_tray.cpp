// Hiding into the tray and coming back. Keys go out only while the window is hidden, so the window's
// coming back is where a value being typed could be cut in two: its rest would land in the dialog's
// lists. The window therefore comes only after that value's last key.
#include "app/shell.h"
#include "gauge/catalogue.h"

namespace valbrix {

void Shell::hideToTrayNow() {
    inTray = true;
    showPending = false;
    flags.inTray.store(true);
    chooseTrayIconNow();
    host.addTrayIcon(trayIcon, (portGone ? text::portLostTip : currentTrayTips()).in(settings.language));
    host.hideWindow();
    if (!host.trayAvailable()) noteNoTray();
    wakeExportLoop();
}

// inTray is cleared first: no value begins after it, and one being typed is waited for.
void Shell::showFromTray() {
    inTray = false;
    flags.inTray.store(false);
    host.removeTrayIcon();
    showPending = true;
    if (loop && loop->deferPastUnit([this] { postWhileRunning([this] { showWindowNow(); }); })) return;
    showWindowNow();
}

// A show that was waited for is dropped when the window went back into the tray meanwhile.
void Shell::showWindowNow() {
    if (!showPending) return;
    showPending = false;
    // Windows deactivates a window on its way to the front now and then; that is not the user leaving it.
    windowComing = true;
    host.showWindow();
    windowComing = false;
    host.setControlText(DeviceLineControl, deviceLine(gauge->GetModelText().text));
    wakeExportLoop();
}

void Shell::typingHeld(TypingHold hold) {
    postWhileRunning([this, hold] { showStatus(holdText(hold).in(settings.language)); });
}

}  // namespace valbrix
