#pragma once
// The application shell: start-up, the main dialog's commands and messages, hiding into the tray and
// coming back, the interface language, the port list and the orderly shutdown. It owns the gauge
// object and the export loop and talks to the window system only through the dialog host, so all of
// it runs the same under every host and under a recording one.

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "app/dialog_host.h"
#include "app/port_list.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "app/tray_icon.h"
#include "common/clock.h"
#include "common/localized_text.h"
#include "export/export_loop.h"
#include "export/export_settings.h"
#include "export/export_shell.h"
#include "export/key_event.h"
#include "gauge/varni_tiny.h"
#include "serial/port_driver.h"

namespace valbrix {

struct ShellEnvironment {
    DialogHost& host;
    SettingsStore& store;
    SettingsLocations locations;
    PortSystem& ports;  // for the gauge object and the port scans
    Clock& clock;
    KeySink& keys;
    // Off in tests: the gauge gets no acquisition thread and the export loop is not started, so the
    // test drives both passes itself.
    bool startThreads = true;
};

// The notification with which a list reports that it got the keyboard focus (CBN_SETFOCUS).
inline constexpr int ListGotFocus = 3;

enum class TrayButton { Left, Right };

class Shell final : public ExportShell {
public:
    explicit Shell(ShellEnvironment environment);
    ~Shell() override;
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;

    // What the host reports, on the user-interface thread. Until initMainDialog() has run and after
    // the shutdown, every report is ignored: the window system still sends some while the dialog is
    // being destroyed.
    void initMainDialog();
    void command(int id, int notification = 0);
    void activated(bool deactivated, bool minimized);
    void aboutOpened();
    void trayClicked(TrayButton button);
    void helpRequested();
    void keyTyped();
    // A serial port arrived (true) or was removed (false).
    void portChanged(bool arrival);
    // The system asks the program to end: the shutdown of Exit, without the question.
    void terminate();
    // No key sink could be had: says so in the status line and in a box, with what the user can do.
    void typingUnavailable(const LocalizedText& advice);

    // ExportShell, called from the export and acquisition threads: each call is handed to the
    // user-interface thread and never waits for it.
    void showDeviceLine(const std::string& name) override;
    void showValueText(const std::string& text) override;
    void showUnitText(const std::string& text) override;
    void repaint() override;
    void hideToTray() override;
    void updateTrayIcon() override;
    void setTrayTips(const LocalizedText& tips) override;
    void setTrayTip(const std::string& tip) override;
    void keysNotTyped(const UntypedKeys& keys) override;

    // For tests that drive the passes themselves; null before initMainDialog() and after the shutdown.
    cVarniTiny* gaugeObject() { return gauge.get(); }
    ExportLoop* exportLoop() { return loop.get(); }
    const Settings& settingsInUse() const { return settings; }
    const ShellFlags& shellFlags() const { return flags; }
    ExportChoices exportChoices() const { return choices.get(); }
    bool isInTray() const { return inTray; }

private:
    bool running() const { return gauge != nullptr; }
    void postWhileRunning(std::function<void()> work);

    void showStatus(const std::string& text);
    void requestExit();
    // Asked by the user, a failed save is shown in a box; asked by the system (log off, SIGTERM),
    // nothing may hold the ending up, so it only goes to the trace.
    enum class EndAskedBy { User, System };
    void shutdown(EndAskedBy askedBy);
    void hideToTrayNow();
    void showFromTray();
    void updateTrayIconNow();
    TrayIconChoice chooseTrayIconNow();
    LocalizedText currentTrayTips() const;
    void openHelp();

    void applyLanguage(int language);
    void selectModelGroup(int model);
    void askForIdentification();
    void requestIdentification();
    void enableSequenceField();
    // Hands the export thread what it reads: the flags and the choices of the dialog.
    void publishChoices();

    // When the desktop or the system stands in the way (shell_notes.cpp): the tray menu in the
    // window where there is no tray, and ports the user may not open.
    void showMenuBar();
    void noteNoTray();
    void notePortAccess(int port);
    std::optional<FoundPort> scanPort(cCOM& prober, int number);

    void startUpPortScan();
    void portListCommand(int notification);
    void rescanPorts();

    DialogHost& host;
    SettingsStore& store;
    const SettingsLocations locations;
    PortSystem& ports;
    Clock& clock;
    KeySink& keys;
    const bool startThreads;

    Settings settings;
    ShellFlags flags;
    ChoicesSnapshot choices;
    mutable std::mutex trayTipsLock;  // the export thread sets the pair, hiding into the tray reads it
    LocalizedText trayTips = text::trayStarted;
    int trayIcon = IconNoGauge;
    bool inTray = false;
    bool aboutOpen = false;
    bool toldKeyNotTyped = false;  // the user hears of it once a run
    bool noTrayNoted = false;
    // The loop uses the gauge, so it is declared after it and goes first.
    std::unique_ptr<cVarniTiny> gauge;
    std::unique_ptr<ExportLoop> loop;
};

}  // namespace valbrix
