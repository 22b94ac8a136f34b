// The notices of serial ports coming and going. The system reports them in a broadcast that waits for
// every window's answer, so the box is shown only after the report has been answered. One box at a
// time: what changes while it is open is told by one more box when it closes, for the last change,
// unless that one says again what the user has just read. Reports in quick succession (a hub with
// several ports, an adapter wiggled in its socket) so give at most two boxes, and the last one tells
// how things stand.
#include "app/shell.h"

namespace valbrix {

void Shell::portChanged(bool arrival) {
    if (!running() || !settings.displayPortChanged) return;
    lastPortChange = arrival;
    if (portNoticeDue) return;
    portNoticeDue = true;
    postWhileRunning([this] { showPortNotices(); });
}

void Shell::showPortNotices() {
    std::optional<bool> told;
    while (running() && !shuttingDown && !endRequested && lastPortChange != told) {
        told = lastPortChange;
        showPortNotice(*told);
    }
    lastPortChange.reset();
    portNoticeDue = false;
}

// The box takes the activation from the window: that is not the user leaving it, and the window the
// arrival brought out of the tray stays on screen.
void Shell::showPortNotice(bool arrival) {
    if (arrival) showFromTray();
    portNoticeOpen = true;
    notice(text::portNoticeCaption, (arrival ? text::newPort : text::portReleased).in(settings.language));
    portNoticeOpen = false;
    if (!arrival && running() && !shuttingDown) showFromTray();
}

}  // namespace valbrix
