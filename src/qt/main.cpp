// The Linux desktop program: dialog 301 in a Qt window, typing through whatever the desktop offers.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "settings/file_system.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "app/shell.h"
#include "common/clock.h"
#include "common/user_folder.h"
#include "export/key_sink_choice.h"
#include "qt/desktop_typing_host.h"
#include "qt/port_watcher.h"
#include "qt/qt_dialog_host.h"
#include "qt/session_key_sinks.h"
#include "qt/silent_key_sink.h"
#include "qt/single_instance.h"
#include "qt/termination_signals.h"
#include "serial/port_driver.h"

namespace {

constexpr const char* usage =
    "Usage: valbrix [--trace]\n"
    "Types the readings of a VARNITRON gauge into the application that has the keyboard focus.\n"
    "\n"
    "  --trace   also print what the window and the tray icon show on standard output, one line each\n";

}  // namespace

int main(int argc, char** argv) {
    using namespace valbrix;
    // Before Qt starts, so that the help needs no display.
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--help" || std::string_view(argv[i]) == "-h") {
            std::fputs(usage, stdout);
            return 0;
        }
    // Qt takes its own options (-display, -platform, ...) out of argv; what is left is ours.
    QApplication application(argc, argv);
    bool traced = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) != "--trace") {
            std::fprintf(stderr, "valbrix: unknown option %s\n%s", argv[i], usage);
            return 2;
        }
        traced = true;
    }
    InstanceClaim claim(userConfigFolder());
    if (!claim.first()) {
        if (traced) std::printf("valbrix: already running, its window is shown\n");
        claim.wakeFirst();
        return 0;
    }
    // Hidden in the tray is the program's working state: closing a box then must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    failWritesBeyondFileSizeLimit();

    // Before the window: the portal may first ask the user in a dialog of the desktop's own.
    const SessionKeySink typing = openSessionKeySink();
    for (const std::string& refusal : typing.chosen.refusals)
        std::fprintf(traced ? stdout : stderr, "valbrix: cannot type through %s\n", refusal.c_str());
    if (traced) std::printf("key sink: %s\n", typing.chosen.sink ? typing.chosen.name.c_str() : "none");
    SilentKeySink silent;
    KeySink& keys = typing.chosen.sink ? *typing.chosen.sink : silent;
    // The X server's keyboard only on an X11 desktop: on Wayland, Xwayland knows nothing of the keys
    // held in other programs.
    const bool x11 = desktopSession(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY")) == DesktopSession::X11;
    DesktopTypingHost desk(QDBusConnection::systemBus(), x11 ? X11Desk::open() : nullptr);

    QtDialogHost host;
    if (traced) host.traceTo(stdout);
    Shell shell(ShellEnvironment{host, systemSettingsStore(), systemSettingsLocations(), systemPorts(),
                                 systemClock(), keys, desk, true, systemJournalFiles(), systemWallClock()});
    host.attach(shell);
    claim.listen([&shell] { shell.anotherStart(); });
    const TerminationSignals termination([&shell] { shell.terminate(); });
    shell.initMainDialog();
    if (!typing.chosen.sink) shell.typingUnavailable(typing.status, typing.advice);
    const PortWatcher ports("/dev", userConfigFolder() + "/ports", [&shell](bool arrival) { shell.portChanged(arrival); });
    host.show();
    return QApplication::exec();
}
