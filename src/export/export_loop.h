#pragma once
// The export thread: takes every value the gauge connection has queued, shows it, and while the
// dialog sits in the tray with transfer on, types it into the focused application followed by the
// control key, the grid key or the key sequence. Beside that it keeps the device line and the tray
// icon in step with the gauge and asks a silent gauge of model group 1 who it is.

#include <atomic>
#include <string>
#include <thread>

#include "common/clock.h"
#include "export/export_settings.h"
#include "export/export_shell.h"
#include "export/key_event.h"
#include "gauge/measured_value.h"
#include "gauge/report_parser.h"
#include "gauge/varni_tiny.h"

namespace valbrix {

// The gauge's notification: queue the follow-up commands and show the gauge's name.
void onIdentified(cVarniTiny& gauge, ExportShell& shell);

class ExportLoop {
public:
    static constexpr int passMs = 50;
    static constexpr int identificationPollPasses = 20;  // about two seconds
    static constexpr int autoMinimizePass = 4;

    ExportLoop(cVarniTiny& gauge, ExportShell& shell, KeySink& keys, const ShellFlags& flags,
               const ChoicesSnapshot& choices, bool autoMinimize, Clock& clock = systemClock());
    ~ExportLoop();
    ExportLoop(const ExportLoop&) = delete;
    ExportLoop& operator=(const ExportLoop&) = delete;

    void start();
    // Ends the thread after its current pass: a value's keys always go out whole, so no modifier is
    // left pressed.
    void stop();
    // One pass: device line, tray state, all queued values, identification poll, tray icon, pause,
    // auto-minimise.
    void pass();

private:
    void exportRecord(const MeasuredValue& record);

    cVarniTiny& gauge;
    ExportShell& shell;
    KeySink& keys;
    const ShellFlags& flags;
    const ChoicesSnapshot& choices;
    Clock& clock;

    ModelText lastModelText;
    bool lastInTray;
    const bool autoMinimizeAtStart;
    bool lastIdentified = false;
    int unidentifiedPasses = 0;
    int passCount = 0;
    std::string lastTip;
    std::string lastValueText = "---";

    std::atomic<bool> stopRequested{false};
    std::thread thread;
};

}  // namespace valbrix
