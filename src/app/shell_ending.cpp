// Ending at any moment. The system may ask the program to end (SIGTERM, the end of the session) while
// one of its boxes is open: the box runs the window system's loop, and the code that opened it goes on
// once it is closed. So the shutdown never runs inside a box: the boxes are closed, their callers
// finish, and the shutdown follows from the main loop, in the order of Exit.
#include "app/shell.h"

namespace valbrix {

void Shell::terminate() {
    endRequested = true;
    if (boxesOpen > 0) {
        host.closeBoxes();
        return;
    }
    if (running() && !shuttingDown) shutdown(EndAskedBy::System);
}

void Shell::wakeExportLoop() { gauge->Changes().ring(); }

void Shell::endSoon() {
    host.post([this] {
        if (running() && !shuttingDown) shutdown(EndAskedBy::System);
    });
}

// A box takes the keyboard: the value being typed is let out first, and no other begins while it is open.
void Shell::inBox(const std::function<void()>& open) {
    if (endRequested) return;
    ++boxesOpen;
    flags.boxOpen.store(true);
    if (loop) loop->waitForUnit();
    open();
    --boxesOpen;
    flags.boxOpen.store(boxesOpen > 0);
    if (boxesOpen == 0 && endRequested) endSoon();
}

bool Shell::ask(const std::string& caption, const std::string& text) {
    bool yes = false;
    inBox([&] { yes = host.askYesNo(caption, text); });
    return yes && !endRequested;
}

void Shell::notice(const std::string& caption, const std::string& text) {
    inBox([&] { host.showNotice(caption, text); });
}

void Shell::showSystemErrors(const std::vector<ErrorBoxText>& errors) {
    for (const ErrorBoxText& error : errors) inBox([&] { host.showSystemError(error.caption, error.text); });
}

}  // namespace valbrix
