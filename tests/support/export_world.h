#pragma once
// A gauge on scripted port 5 and the export loop over it, with the keys recorded and the shell faked.
// Nothing runs by itself: both sides' passes are driven by hand.

#include <memory>
#include <optional>
#include <string>

#include "export/export_loop.h"
#include "export/key_text.h"
#include "fake_clock.h"
#include "fake_export_shell.h"
#include "fake_ports.h"
#include "recording_typing_host.h"
#include "gauge/catalogue.h"
#include "gauge/varni_tiny.h"
#include "recording_journal.h"

namespace valbrix::testing {

struct ExportWorld {
    // A fresh gauge on a line that echoes, in the tray, with "Enter" after each value. An identified
    // gauge tells the shell as the program's does unless `reportIdentification` is false.
    void buildGauge(bool reportIdentification = true) {
        loop.reset();  // it uses the gauge
        line = ports.add(5);
        line->echo = true;
        cVarniTiny::NotifyCallback identified;
        if (reportIdentification) identified = [this](cVarniTiny& g) { onIdentified(g, shell); };
        gauge.emplace(5, identified, 1, GaugeEnvironment{&ports, &clock, false});
        flags.inTray = true;
        choose("Enter", 1, ".", "2,7 \xB5m/mil/Tesla");
    }

    void makeLoop(bool autoMinimize = false) {
        loop.emplace(*gauge, shell, keys, desk, flags, choices, autoMinimize, clock, journal);
    }

    void choose(const char* control, int index, const char* separator, const char* unitDisplay,
                const char* sequence = "TAB,DOWN") {
        choices.set(ExportChoices{control, index, separator, unitDisplay, sequence});
    }

    FakeClock clock;
    FakePorts ports{clock};
    std::shared_ptr<FakeLine> line;
    // In place rather than on the heap: the road's fuzz target rebuilds a world for every input.
    std::optional<cVarniTiny> gauge;
    ShellFlags flags;
    ChoicesSnapshot choices;
    RecordingKeySink keys;
    RecordingTypingHost desk;
    FakeExportShell shell;
    RecordingJournal journal;
    std::optional<ExportLoop> loop;
};

}  // namespace valbrix::testing
