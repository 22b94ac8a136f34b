// The Linux desktop program: dialog 301 in a Qt window, typing through the X server.

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <memory>

#include "app/settings.h"
#include "app/settings_store.h"
#include "app/shell.h"
#include "common/clock.h"
#include "export/key_sink_xtest.h"
#include "common/user_folder.h"
#include "qt/cp1252.h"
#include "qt/port_watcher.h"
#include "qt/qt_dialog_host.h"
#include "qt/silent_key_sink.h"
#include "qt/termination_signals.h"
#include "serial/error_box.h"
#include "serial/port_driver.h"

namespace {

// Ports are opened on the user-interface thread only, so the box can be shown directly.
void showSerialErrorBox(const char* caption, const char* text) {
    QMessageBox box(QMessageBox::Information, valbrix::fromCp1252(caption), valbrix::fromCp1252(text),
                    QMessageBox::Ok);
    box.exec();
}

}  // namespace

int main(int argc, char** argv) {
    using namespace valbrix;
    QApplication application(argc, argv);
    // Hidden in the tray is the program's working state: closing a box then must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    setErrorBoxHandler(showSerialErrorBox);

    std::unique_ptr<KeySink> keys = XTestKeySink::open();
    if (!keys) {
        std::fputs("valbrix: no X display with the XTest extension; values are shown but not typed\n", stderr);
        keys = std::make_unique<SilentKeySink>();
    }

    QtDialogHost host;
    Shell shell(ShellEnvironment{host, systemSettingsStore(), systemSettingsLocations(), systemPorts(),
                                 systemClock(), *keys, true});
    host.attach(shell);
    const TerminationSignals termination([&shell] { shell.terminate(); });
    shell.initMainDialog();
    const PortWatcher ports("/dev", userConfigFolder() + "/ports", [&shell](bool arrival) { shell.portChanged(arrival); });
    host.show();
    return QApplication::exec();
}
