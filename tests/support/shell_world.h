#pragma once
// The shell against a recording dialog host: a gauge on scripted ports, the real settings file in a
// folder of the test's own, and the gauge's and the export loop's passes driven by hand.

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/shell.h"
#include "export/key_text.h"
#include "fake_clock.h"
#include "fake_dialog_host.h"
#include "fake_ports.h"
#include "recording_typing_host.h"
#include "settings/file_system.h"
#include "settings/ini_file_store.h"
#include "recording_journal.h"
#include "temp_folder.h"

namespace valbrix::testing {

inline constexpr char sep = pathSeparator;
inline constexpr int CommandSelectionChanged = 1;  // CBN_SELCHANGE: any notification but the focus

// The real settings file, with a look at the shell whenever the settings are written.
class WatchedStore final : public SettingsStore {
public:
    std::string get(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& defaultValue, std::size_t maxLength) override {
        return real.get(file, section, key, defaultValue, maxLength);
    }
    WriteOutcome putAll(const std::string& file, const std::string& section, const KeyValues& values) override {
        if (onPut) onPut();
        return refuseWrites ? WriteOutcome::Refused : real.putAll(file, section, values);
    }

    std::function<void()> onPut;
    bool refuseWrites = false;  // as a read-only folder would

private:
    IniFileStore real;
};

// One dialog with everything around it: settings folders, scripted ports, a virtual clock, the keys.
struct World {
    World() { createFolders(where.programDirectory); }

    void settingsFile(const std::string& lines) { writeFile(programFile, "[Settings]\r\n" + lines); }
    std::string stored(const char* key) { return store.get(programFile, "Settings", key, "<none>", 999); }

    std::shared_ptr<FakeLine> addPort(int number, int providerValue = 0) {
        const std::shared_ptr<FakeLine> line = ports.add(number);
        line->providerValue = providerValue;
        line->echo = true;
        return line;
    }

    // The dialog set up and the start-up scan done.
    void start() {
        startScanning();
        finishPortScan();
    }
    // The dialog set up; the start-up scan may still be running.
    void startScanning() {
        shell = std::make_unique<Shell>(ShellEnvironment{host, store, where, ports, clock, keySink ? *keySink : keys, desk,
                                                         false, journalFiles, wallClock});
        shell->initMainDialog();
    }

    // Runs what the scan posts, as the user-interface thread would, until it is done.
    void finishPortScan() {
        while (shell->portScanRunning()) {
            host.waitForPosted();
            host.runPosted();
        }
    }
    // A scan, at start-up or the rescan of a running program, whose probe of the port waits for the
    // gate that is returned.
    std::shared_ptr<OpenGate> scanHeldAt(int port, bool rescan) {
        if (rescan) start();
        std::shared_ptr<OpenGate> gate = ports.hold(port);
        if (rescan) shell->command(PortListControl, ListGotFocus);
        else startScanning();
        return gate;
    }
    // The user clicks into the port list: it gets the focus, and the rescan runs to its end.
    void focusPortList() {
        shell->command(PortListControl, ListGotFocus);
        finishPortScan();
    }

    cVarniTiny& gauge() { return *shell->gaugeObject(); }

    // The gauge answers "G00" after a quiet line, as a pocket gauge does.
    void identifyGauge(const std::shared_ptr<FakeLine>& line) {
        clock.advance(600);
        gauge().RequestIdentification();
        gauge().AcquisitionPass();
        line->receive("G6121\r\n");
        gauge().AcquisitionPass();
        host.runPosted();
    }

    std::vector<std::string> statusTexts() const {
        std::vector<std::string> texts;
        for (const std::string& event : host.events)
            if (event.rfind("text StatusLine=", 0) == 0) texts.push_back(event.substr(16));
        return texts;
    }

    std::size_t eventIndex(const std::string& event) const {
        return static_cast<std::size_t>(std::find(host.events.begin(), host.events.end(), event) - host.events.begin());
    }

    bool checked(int command) const {
        const MenuItem* item = findMenuItem(host.menuBar, command);
        return item != nullptr && item->checked;
    }

    TempFolder temp;
    SettingsLocations where{temp.path("program") + sep, temp.path("user") + sep};
    std::string programFile = where.programDirectory + "Valbrix.ini";
    WatchedStore store;
    FakeDialogHost host;
    FakeClock clock;
    FakePorts ports{clock};
    RecordingKeySink keys;
    KeySink* keySink = nullptr;  // in place of keys when set before start()
    RecordingTypingHost desk;
    RecordingJournalFiles journalFiles;
    SetWallClock wallClock;
    std::unique_ptr<Shell> shell;  // last: it goes before everything it uses
};

}  // namespace valbrix::testing
