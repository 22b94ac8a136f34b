#pragma once
// The whole road on a pseudo-terminal: the simulated gauge on port 5, the gauge object with its
// acquisition thread, the export loop on its own thread, and what is typed and shown recorded under
// locks.

#include <memory>

#include "config_home.h"
#include "export/export_loop.h"
#include "gauge/varni_tiny.h"
#include "gaugesim/simulator.h"
#include "locked_export.h"

namespace valbrix::testing {

struct PtyRoad {
    static constexpr int gaugePort = 5;

    // The simulator prints without pacing to a gauge that only prints (model group 2), so no
    // identification request comes in between; what the test set on the keys and choices before
    // holds from the first value on. An identified gauge tells the shell as the program's does unless
    // `reportIdentification` is false. False when the simulator could not start.
    [[nodiscard]] bool start(bool reportIdentification) {
        gaugesim::Options options;
        options.paced = false;
        simulator = std::make_unique<gaugesim::Simulator>(options);
        if (!simulator->start(home.portLink(gaugePort))) return false;
        cVarniTiny::NotifyCallback identified;
        if (reportIdentification) identified = [this](cVarniTiny& g) { onIdentified(g, shell); };
        gauge = std::make_unique<cVarniTiny>(gaugePort, identified, 1);
        flags.inTray = true;
        flags.device = 8525;
        loop = std::make_unique<ExportLoop>(*gauge, shell, keys, desk, flags, choices, false);
        loop->start();
        return true;
    }

    ConfigHome home;
    std::unique_ptr<gaugesim::Simulator> simulator;
    ShellFlags flags;
    ChoicesSnapshot choices;
    LockedRecordingSink keys;
    OpenDesk desk;
    LockedShell shell;
    // The threads stop in the reverse order: the loop before the gauge it reads, the gauge (whose
    // thread tells the shell of an identification) before the shell.
    std::unique_ptr<cVarniTiny> gauge;
    std::unique_ptr<ExportLoop> loop;
};

}  // namespace valbrix::testing
