// What the shell does when the desktop or the system stands in the way of its work: no way of typing,
// no tray to hide into, a serial device the user may not open. Each time the user is told, in the
// interface language, what stands in the way and what to do about it.
#include <string>

#include "app/shell.h"
#include "serial/com.h"

namespace valbrix {
namespace {

std::string filledIn(std::string text, const std::string& port, const std::string& group) {
    for (const auto& [mark, value] : {std::pair{std::string("%1"), port}, std::pair{std::string("%2"), group}})
        for (auto at = text.find(mark); at != std::string::npos; at = text.find(mark, at + value.size()))
            text.replace(at, mark.size(), value);
    return text;
}

}  // namespace

void Shell::typingUnavailable(const LocalizedText& advice) {
    if (!running()) return;
    showStatus(text::noTyping.in(settings.language));
    host.showNotice(text::portNoticeCaption, advice.in(settings.language));
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
    if (gauge->Port().OpenPortNumber() == port) return;
    const std::string group = ports.deniedGroup(port);
    if (group.empty()) return;
    const std::string name = "COM" + std::to_string(port);
    showStatus(filledIn(text::portNoAccessStatus.in(settings.language), name, group));
    host.showNotice(text::portNoticeCaption, filledIn(text::portNoAccessNotice.in(settings.language), name, group));
}

}  // namespace valbrix
