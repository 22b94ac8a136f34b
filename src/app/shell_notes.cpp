// What the shell does when the desktop or the system stands in the way of its work: no way of typing,
// no tray to hide into, a serial device the user may not open or whose adapter is pulled out, values
// coming faster than they can be typed. Each time the user is told, in the interface language, what
// stands in the way and what to do about it.
#include <string>

#include "app/shell.h"
#include "gauge/catalogue.h"
#include "serial/com.h"

namespace valbrix {

std::string filledIn(std::string text, const std::string& first, const std::string& second) {
    for (const auto& [mark, value] : {std::pair{std::string("%1"), first}, std::pair{std::string("%2"), second}})
        for (auto at = text.find(mark); at != std::string::npos; at = text.find(mark, at + value.size()))
            text.replace(at, mark.size(), value);
    return text;
}

void Shell::typingUnavailable(const LocalizedText& status, const LocalizedText& advice) {
    if (!running()) return;
    showStatus(status.in(settings.language));
    notice(text::portNoticeCaption, advice.in(settings.language));
}

// Without a tray the tray menu is the window's last menu, kept in step with its check marks.
void Shell::showMenuBar() {
    host.setMenuBar(host.trayAvailable() ? menuBar(settings.language, settings.keyboardLayout, settings.device)
                                         : menuBarWithTrayMenu(settings.language, settings.keyboardLayout,
                                                               settings.device, settings.transferActive));
}

void Shell::noteNoTray() {
    if (noTrayNoted) return;
    noTrayNoted = true;
    showStatus(text::noTray.in(settings.language));
}

// Only a port that is not open and whose device refuses this user is worth a word.
void Shell::notePortAccess(int port) {
    if (gauge->OpenPortNumber() == port) return;
    const std::string group = ports.deniedGroup(port);
    if (group.empty()) return;
    const std::string name = "COM" + std::to_string(port);
    showStatus(filledIn(text::portNoAccessStatus.in(settings.language), name, group));
    notice(text::portNoticeCaption, filledIn(text::portNoAccessNotice.in(settings.language), name, group));
}

void Shell::portLost(bool lost) {
    postWhileRunning([this, lost] { showPortLost(lost); });
}

// A full ring drops the newest values; each one is counted and the count shown.
void Shell::valuesDropped(std::uint32_t count) {
    postWhileRunning([this, count] {
        showStatus(filledIn(text::valuesDroppedStatus.in(settings.language), std::to_string(count)));
    });
}

// The user is told in the status line and, while the window is hidden, in the tray, whose picture is
// that of no gauge until the port is back; then a gauge that answers is asked who it is, as after a
// change of port.
void Shell::showPortLost(bool lost) {
    portGone = lost;
    const std::string name = "COM" + std::to_string(gauge->PortNumber());
    showStatus(filledIn((lost ? text::portLostStatus : text::portBackStatus).in(settings.language), name, ""));
    updateTrayIconNow();
    if (!lost && modelGroupOf(settings.device) == 1) askForIdentification();
}

}  // namespace valbrix
