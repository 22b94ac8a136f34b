#include "export/export_loop.h"

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
                       const ChoicesSnapshot& choices, bool autoMinimize, Clock& clock)
    : gauge(gauge),
      shell(shell),
      keys(keys),
      flags(flags),
      choices(choices),
      clock(clock),
      lastInTray(flags.inTray.load()),
      autoMinimizeAtStart(autoMinimize) {}

ExportLoop::~ExportLoop() { stop(); }

void ExportLoop::start() {
    stopRequested.store(false);
    thread = std::thread([this] {
        while (!stopRequested.load()) pass();
    });
}

void ExportLoop::stop() {
    stopRequested.store(true);
    if (thread.joinable()) thread.join();
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
    while (gauge.takeValue(record)) exportRecord(record);

    if (gauge.IsIdentified() || flags.device.load() != modelGroup1Device) {
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
    // Without a chosen separator the point stays: a missing character must not cut the number short.
    const char separator = chosen.separatorText.empty() ? '.' : chosen.separatorText[0];
    const std::string valueText = formatValue(record.value, record.unit, record.integerDigits, record.decimals,
                                              gauge.GetDeviceModel(), separator);
    shell.showValueText(valueText);
    lastValueText = valueText.substr(0, valueTextLimit);

    const std::string unit = unitText(record.unit, unitDisplayOf(chosen.unitDisplayText.c_str()));
    shell.showUnitText(unit);

    if (flags.transferActive.load() && flags.inTray.load()) {
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

    shell.setTrayTips(text::valuesSent);
    const std::string tip = text::valuesSent.in(flags.language.load());
    if (tip != lastTip) {
        shell.setTrayTip(tip);
        lastTip = tip;
    }
    shell.repaint();
}

}  // namespace valbrix
