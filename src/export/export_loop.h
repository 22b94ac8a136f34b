#pragma once
// The export thread: takes every value the gauge connection has queued, shows it, and while the
// dialog sits in the tray with transfer on, types it into the focused application followed by the
// control key, the grid key or the key sequence. Beside that it keeps the device line and the tray
// icon in step with the gauge and asks a silent gauge of model group 1 who it is.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "common/clock.h"
#include "export/export_settings.h"
#include "export/export_shell.h"
#include "export/key_event.h"
#include "export/typing_guard.h"
#include "export/value_journal.h"
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

    ExportLoop(cVarniTiny& gauge, ExportShell& shell, KeySink& keys, TypingHost& typing, const ShellFlags& flags,
               const ChoicesSnapshot& choices, bool autoMinimize, Clock& clock = systemClock(),
               ValueJournal& journal = noJournal());
    ~ExportLoop();
    ExportLoop(const ExportLoop&) = delete;
    ExportLoop& operator=(const ExportLoop&) = delete;

    // Runs the passes on a thread of their own. A pass that leaves nothing to do is followed by a wait
    // until the gauge or the shell changes something the loop shows or acts on (the gauge's Changes),
    // or until the identification poll is due: idle, the loop costs nothing, and every pass that does
    // something comes when it would have come.
    void start();
    // Ends the thread after the value being typed: a value's keys always go out whole, so no modifier
    // is left pressed, and values still queued are not waited for.
    void stop();
    // One pass: device line, tray state, all queued values, the port's state and the values dropped,
    // identification poll, tray icon, pause, auto-minimise.
    void pass();

    // How long the thread may wait after a pass before the next one: 0 not at all, -1 until something
    // changes, else at most so many milliseconds (the identification poll is due then).
    int idleWaitMs() const;
    // A wait of so many milliseconds in place of passes that would have done nothing but count.
    void creditIdleTime(std::uint32_t waitedMs);

    // For the user-interface thread, once it has cleared the shell's inTray flag (no value begins to be
    // typed after that): false when no value is being typed; otherwise true, and afterUnit is called on
    // the export thread as soon as the last key of that value is out. So the window that takes the
    // keyboard next comes only after the value went whole to where it began.
    bool deferPastUnit(std::function<void()> afterUnit);
    // For the user-interface thread, once it has set the boxOpen flag: returns when no value is being
    // typed. A value's keys never wait for that thread, so this wait is as short as one value.
    void waitForUnit();

private:
    // Takes and exports the next value, or leaves it in the ring when the desk holds it back; false
    // when nothing was taken.
    bool exportNext();
    void exportRecord(const MeasuredValue& record, const DeskState* typedOn);
    void endUnit();
    void showHold(TypingHold hold);
    void showTip(const std::string& tip);
    bool pollPending() const;
    void waitWhileIdle(std::uint64_t seen);

    cVarniTiny& gauge;
    ExportShell& shell;
    KeySink& keys;
    TypingHost& typing;
    const ShellFlags& flags;
    const ChoicesSnapshot& choices;
    Clock& clock;
    ValueJournal& journal;

    ModelText lastModelText;
    bool lastInTray;
    const bool autoMinimizeAtStart;
    bool lastIdentified = false;
    int unidentifiedPasses = 0;
    int passCount = 0;
    std::string lastTip;
    std::string lastValueText = "---";
    bool lastPortLost = false;
    std::uint32_t lastDropped = 0;
    TypingHold lastHold = TypingHold::None;

    // A value's line and its control key are one unit: the shell's showing of the window waits for it.
    std::mutex unitLock;
    bool unitInProgress = false;
    std::function<void()> afterUnitWork;
    std::condition_variable unitDone;

    std::atomic<bool> stopRequested{false};
    std::thread thread;
};

}  // namespace valbrix
