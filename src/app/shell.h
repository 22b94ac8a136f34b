#pragma once
// The application shell: start-up, the main dialog's commands and messages, hiding into the tray and
// coming back, the interface language, the port list and the orderly shutdown. It owns the gauge
// object and the export loop and talks to the window system only through the dialog host, so all of
// it runs the same under every host and under a recording one.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/dialog_host.h"
#include "app/journal.h"
#include "app/journal_files.h"
#include "app/port_list.h"
#include "app/port_scan_thread.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "app/tray_icon.h"
#include "common/clock.h"
#include "common/local_time.h"
#include "common/localized_text.h"
#include "export/export_loop.h"
#include "export/export_settings.h"
#include "export/export_shell.h"
#include "export/key_event.h"
#include "export/typing_guard.h"
#include "gauge/varni_tiny.h"
#include "serial/error_box.h"
#include "serial/port_driver.h"

namespace valbrix {

// The text with %1 and %2 replaced (a port and a group, a count).
std::string filledIn(std::string text, const std::string& first, const std::string& second = "");

struct ShellEnvironment {
    DialogHost& host;
    SettingsStore& store;
    SettingsLocations locations;
    PortSystem& ports;  // for the gauge object and the port scans
    Clock& clock;
    KeySink& keys;
    // Asked before every value whether anything stands in the way of typing it.
    TypingHost& typing;
    // Off in tests: the gauge gets no acquisition thread and the export loop is not started, so the
    // test drives both passes itself.
    bool startThreads = true;
    // Where the journal goes, when the settings switch it on.
    JournalFiles& journalFiles;
    WallClock& wallClock;
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
    // The program was started again in this session; that start ends, and this one shows its window,
    // which the user was most likely looking for.
    void anotherStart();
    // A serial port arrived (true) or was removed (false). The notice comes once the report has been
    // answered: the system waits for every window's answer before it tells the next one.
    void portChanged(bool arrival);
    // The system asks the program to end: the shutdown of Exit, without the question. Asked while one
    // of the program's boxes is open (shell_ending.cpp), the boxes are closed and the shutdown follows
    // once the one that opened them is done; asked before the dialog is set up, it follows the set-up.
    void terminate();
    // No key sink could be had: says so in the status line and in a box, with what the user can do.
    void typingUnavailable(const LocalizedText& status, const LocalizedText& advice);

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
    void portLost(bool lost) override;
    void valuesDropped(std::uint32_t count) override;
    void typingHeld(TypingHold hold) override;

    // For tests that drive the passes themselves; null before initMainDialog() and after the shutdown.
    cVarniTiny* gaugeObject() { return gauge.get(); }
    ExportLoop* exportLoop() { return loop.get(); }
    const Settings& settingsInUse() const { return settings; }
    const ShellFlags& shellFlags() const { return flags; }
    ExportChoices exportChoices() const { return choices.get(); }
    bool isInTray() const { return inTray; }
    // One of the shell's boxes, questions or menus is open and runs the window system's loop.
    bool boxOpen() const { return boxesOpen > 0; }
    // A port scan runs; the port list is filled when it is done.
    bool portScanRunning() const { return scanRunning; }

private:
    bool running() const { return gauge != nullptr; }
    void postWhileRunning(std::function<void()> work);

    void showStatus(const std::string& text);
    // Every box goes through these (shell_ending.cpp): a box runs the window system's loop, in which
    // the end of the program may be asked for. Once it is, no further box opens; ask() then says No.
    void inBox(const std::function<void()>& open);
    bool ask(const std::string& caption, const std::string& text);
    void notice(const std::string& caption, const std::string& text);
    // The serial set-up failures held while the port was set up, shown now that nothing is held.
    void showSystemErrors(const std::vector<ErrorBoxText>& errors);
    // The shutdown the system asked for, once the loop is back from every box.
    void endSoon();
    void requestExit();
    // Asked by the user, a failed save is shown in a box; asked by the system (log off, SIGTERM),
    // nothing may hold the ending up, so it only goes to the trace.
    enum class EndAskedBy { User, System };
    void shutdown(EndAskedBy askedBy);
    void hideToTrayNow();
    // Clears inTray at once; the window comes once the value being typed is out (shell_tray.cpp).
    void showFromTray();
    void showWindowNow();
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
    // The export thread may be waiting for a change: it looks at the flags again.
    void wakeExportLoop();

    // When the desktop or the system stands in the way (shell_notes.cpp): the tray menu in the
    // window where there is no tray, and ports the user may not open.
    void showMenuBar();
    void noteNoTray();
    void notePortAccess(int port);
    std::optional<FoundPort> scanPort(int number, bool available, int providerValue);
    // The port's device gone or back (shell_notes.cpp): said in the status line and the tray tip.
    void showPortLost(bool lost);
    // The journal beside the settings file, when they switch it on (shell_journal.cpp); the gauge
    // tells it of the values the full ring turned away.
    void openJournal();
    void journalDroppedValues();
    void journalValuesLeft();
    void journalNotWritten(const std::string& path);

    // shell_ports.cpp: the scans run on their own thread and post what they find.
    using PortProbe = std::function<std::vector<FoundPort>(const std::atomic<bool>& cancelled)>;
    void startUpPortScan();
    void portListCommand(int notification);
    void rescanPorts();
    void startPortScan(PortScan scan, PortProbe probe);
    void postScanReport(std::function<void()> work);
    void portScanEnded(PortScan scan, std::vector<FoundPort> found);
    void addPortInUse(std::vector<FoundPort>& found);
    void movePortTo(int number);
    // shell_port_notices.cpp
    void showPortNotices();
    void showPortNotice(bool arrival);

    DialogHost& host;
    SettingsStore& store;
    const SettingsLocations locations;
    PortSystem& ports;
    Clock& clock;
    KeySink& keys;
    TypingHost& typing;
    const bool startThreads;
    JournalFiles& journalFiles;
    WallClock& wallClock;

    Settings settings;
    ShellFlags flags;
    ChoicesSnapshot choices;
    mutable std::mutex trayTipsLock;  // the export thread sets the pair, hiding into the tray reads it
    LocalizedText trayTips = text::trayStarted;
    int trayIcon = IconNoGauge;
    bool inTray = false;
    bool windowComing = false;  // the host is bringing the window out of the tray
    bool showPending = false;  // the window waits for the value being typed
    bool aboutOpen = false;
    bool toldKeyNotTyped = false;  // the user hears of it once a run
    bool noTrayNoted = false;
    bool portGone = false;  // the port's device has gone; the tray shows it
    int boxesOpen = 0;
    bool endRequested = false;  // by the system, while a box was open or before the set-up was done
    bool shuttingDown = false;
    bool scanRunning = false;
    bool followListAfterScan = false;  // the list had a notification while the scan ran
    int pickedDuringScan = -1;         // the port the user chose meanwhile
    std::optional<bool> lastPortChange;  // the last arrival (true) or removal not yet told
    bool portNoticeDue = false;          // a port notice is on its way or open
    bool portNoticeOpen = false;         // its box takes the activation without sending the window away
    // The gauge and the loop write to the journal, so it goes after both; the loop uses the gauge, so
    // it is declared after it and goes first.
    std::unique_ptr<Journal> journal;
    std::unique_ptr<cVarniTiny> gauge;
    std::unique_ptr<ExportLoop> loop;
    // A rescan asks the gauge which port it holds, so the scan's thread ends before the gauge goes.
    PortScanThread portScan;
};

}  // namespace valbrix
