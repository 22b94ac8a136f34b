#include "export/export_loop.h"

#include <algorithm>
#include <cstring>

#include "common/localized_text.h"
#include "common/text.h"
#include "export/keystroke_emitter.h"
#include "gauge/catalogue.h"

namespace valbrix {
namespace {

constexpr std::size_t valueTextLimit = 99;

}  // namespace

void onIdentified(cVarniTiny& gauge, ExportShell& shell) {
    if (!gauge.IsIdentified()) return;
    gauge.QueueFollowUpRequests();
    shell.showDeviceLine(deviceLine(gauge.GetModelText().text));
}

ExportLoop::ExportLoop(cVarniTiny& gauge, ExportShell& shell, KeySink& keys, TypingHost& typing, const ShellFlags& flags,
                       const ChoicesSnapshot& choices, bool autoMinimize, Clock& clock, ValueJournal& journal)
    : gauge(gauge),
      shell(shell),
      keys(keys),
      typing(typing),
      flags(flags),
      choices(choices),
      clock(clock),
      journal(journal),
      lastInTray(flags.inTray.load()),
      autoMinimizeAtStart(autoMinimize) {}

ExportLoop::~ExportLoop() { stop(); }

void ExportLoop::start() {
    stopRequested.store(false);
    thread = std::thread([this] {
        while (!stopRequested.load()) {
            const std::uint64_t seen = gauge.Changes().count();
            pass();
            waitWhileIdle(seen);
        }
    });
}

void ExportLoop::stop() {
    stopRequested.store(true);
    gauge.Changes().ring();
    if (thread.joinable()) thread.join();
}

bool ExportLoop::pollPending() const {
    return !gauge.IsIdentified() && flags.device.load() == modelGroup1Device && !gauge.PortLost();
}

int ExportLoop::idleWaitMs() const {
    if (autoMinimizeAtStart && passCount < autoMinimizePass) return 0;
    // Values wait for the desk: it is asked again after the next pause.
    if (lastHold != TypingHold::None) return 0;
    if (pollPending()) return (identificationPollPasses - 1 - unidentifiedPasses) * passMs;
    return -1;
}

void ExportLoop::creditIdleTime(std::uint32_t waitedMs) {
    const int passes = static_cast<int>(waitedMs / passMs);
    unidentifiedPasses = std::min(unidentifiedPasses + passes, identificationPollPasses - 1);
}

void ExportLoop::waitWhileIdle(std::uint64_t seen) {
    const int limit = idleWaitMs();
    if (limit == 0 || stopRequested.load()) return;
    const std::uint32_t start = clock.nowMs();
    gauge.Changes().waitPast(seen, limit);
    if (limit > 0) creditIdleTime(elapsedMs(start, clock.nowMs()));
}

void ExportLoop::pass() {
    const ModelText model = gauge.GetModelText();
    if (std::strcmp(model.text, lastModelText.text) != 0) {
        lastModelText = model;
        shell.showDeviceLine(deviceLine(model.text));
    }

    const bool inTray = flags.inTray.load();
    if (inTray != lastInTray) {
        shell.showValueText(lastValueText);
        lastInTray = inTray;
    }

    while (!stopRequested.load() && exportNext()) continue;

    const bool portLost = gauge.PortLost();
    if (portLost != lastPortLost) {
        shell.portLost(portLost);
        lastPortLost = portLost;
    }
    const std::uint32_t dropped = gauge.DroppedValues();
    if (dropped != lastDropped) {
        shell.valuesDropped(dropped);
        lastDropped = dropped;
    }

    // A gauge whose port is gone cannot answer; it is asked again once the port is back.
    if (gauge.IsIdentified() || flags.device.load() != modelGroup1Device || portLost) {
        unidentifiedPasses = 0;
    } else if (++unidentifiedPasses >= identificationPollPasses) {
        clock.sleepMs(10);
        gauge.RequestIdentification();
        clock.sleepMs(1000);
        unidentifiedPasses = 0;
    }

    if (gauge.IsIdentified() != lastIdentified) {
        shell.updateTrayIcon();
        shell.repaint();
        lastIdentified = gauge.IsIdentified();
    }

    clock.sleepMs(passMs);

    if (autoMinimizeAtStart && ++passCount == autoMinimizePass) shell.hideToTray();
}

bool ExportLoop::deferPastUnit(std::function<void()> afterUnit) {
    const std::lock_guard<std::mutex> lock(unitLock);
    if (!unitInProgress) return false;
    afterUnitWork = std::move(afterUnit);
    return true;
}

void ExportLoop::waitForUnit() {
    std::unique_lock<std::mutex> lock(unitLock);
    unitDone.wait(lock, [this] { return !unitInProgress; });
}

bool ExportLoop::exportNext() {
    if (!gauge.HasValue()) return false;
    std::unique_lock<std::mutex> lock(unitLock);
    // Read under the lock: once the shell has cleared inTray and looked for a unit in progress, no
    // value begins.
    const bool typed = flags.transferActive.load() && flags.inTray.load();
    DeskState desk;
    if (typed) {
        desk = typing.deskState();
        // A box of the shell's own may not have the keyboard yet; it will.
        if (flags.boxOpen.load()) desk.ownWindowActive = true;
        const TypingHold hold = typingHold(desk);
        if (hold != TypingHold::None) {
            lock.unlock();
            showHold(hold);
            return false;
        }
        unitInProgress = true;
    }
    lock.unlock();
    showHold(TypingHold::None);
    MeasuredValue record;
    gauge.takeValue(record);
    exportRecord(record, typed ? &desk : nullptr);
    return true;
}

void ExportLoop::endUnit() {
    std::function<void()> afterUnit;
    {
        const std::lock_guard<std::mutex> lock(unitLock);
        unitInProgress = false;
        afterUnit.swap(afterUnitWork);
    }
    unitDone.notify_all();
    if (afterUnit) afterUnit();
}

// Said once when the values begin to wait and once when they are typed again; the tray tip says it too,
// until a value is sent.
void ExportLoop::showHold(TypingHold hold) {
    if (hold == lastHold) return;
    lastHold = hold;
    shell.typingHeld(hold);
    if (hold == TypingHold::None) return;
    shell.setTrayTips(holdText(hold));
    showTip(holdText(hold).in(flags.language.load()));
}

// The tip is compared with the one this loop set last, not with what the icon shows now: a tip that the
// tray icon's update has put there since stays.
void ExportLoop::showTip(const std::string& tip) {
    if (tip == lastTip) return;
    shell.setTrayTip(tip);
    lastTip = tip;
}

void ExportLoop::exportRecord(const MeasuredValue& record, const DeskState* typedOn) {
    const ExportChoices chosen = choices.get();
    const ValueTexts texts = exportTexts(record, chosen, gauge.GetDeviceModel());
    shell.showValueText(texts.value);
    lastValueText = texts.value.substr(0, valueTextLimit);
    shell.showUnitText(texts.unit);

    if (typedOn != nullptr) {
        KeyEvents events;
        if (!isNoValue(record.value))
            typeText(events, (texts.value + " " + texts.unit).c_str(), flags.keyboardLayout.load(), typedOn->capsLock);
        if (chosen.controlIndex > 0) {
            const char* control = chosen.controlText.c_str();
            const int key = keyFromName(control);
            const int columns = record.gridColumns;
            if (columns > 0) pressKey(events, record.number % columns != 0 ? VkTab : VkReturn);
            else if (key >= 0 && key <= 255) pressKey(events, key);
            if (isSequenceItem(chosen.controlText)) sendSequence(events, chosen.sequence.c_str());
        }
        const UntypedKeys untyped = keys.deliver(events);
        endUnit();
        if (!untyped.empty()) shell.keysNotTyped(untyped);
    }
    // Only now that the keys are out: the journal never holds typing up.
    journal.record(
        journalEntry(gauge, record, texts, typedOn != nullptr ? JournalOutcome::Typed : JournalOutcome::Shown));

    shell.setTrayTips(text::valuesSent);
    showTip(text::valuesSent.in(flags.language.load()));
    shell.repaint();
}

}  // namespace valbrix
