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

ExportLoop::ExportLoop(cVarniTiny& gauge, ExportShell& shell, KeySink& keys, const ShellFlags& flags,
                       const ChoicesSnapshot& choices, bool autoMinimize, Clock& clock, ValueJournal& journal)
    : gauge(gauge),
      shell(shell),
      keys(keys),
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

    MeasuredValue record;
    while (!stopRequested.load() && gauge.takeValue(record)) exportRecord(record);

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

void ExportLoop::exportRecord(const MeasuredValue& record) {
    const ExportChoices chosen = choices.get();
    const ValueTexts texts = exportTexts(record, chosen, gauge.GetDeviceModel());
    const std::string& valueText = texts.value;
    shell.showValueText(valueText);
    lastValueText = valueText.substr(0, valueTextLimit);

    const std::string& unit = texts.unit;
    shell.showUnitText(unit);

    const bool typing = flags.transferActive.load() && flags.inTray.load();
    if (typing) {
        KeyEvents events;
        if (!isNoValue(record.value)) typeText(events, (valueText + " " + unit).c_str(), flags.keyboardLayout.load());
        if (chosen.controlIndex > 0) {
            const char* control = chosen.controlText.c_str();
            const int key = keyFromName(control);
            const int columns = record.gridColumns;
            if (columns > 0) pressKey(events, record.number % columns != 0 ? VkTab : VkReturn);
            else if (key >= 0 && key <= 255) pressKey(events, key);
            if (isSequenceItem(chosen.controlText)) sendSequence(events, chosen.sequence.c_str());
        }
        const UntypedKeys untyped = keys.deliver(events);
        if (!untyped.empty()) shell.keysNotTyped(untyped);
    }
    // Only now that the keys are out: the journal never holds typing up.
    journal.record(journalEntry(gauge, record, texts, typing ? JournalOutcome::Typed : JournalOutcome::Shown));

    shell.setTrayTips(text::valuesSent);
    const std::string tip = text::valuesSent.in(flags.language.load());
    if (tip != lastTip) {
        shell.setTrayTip(tip);
        lastTip = tip;
    }
    shell.repaint();
}

}  // namespace valbrix
