#pragma once

#include <cstddef>

#include "gaugesim/simulator.h"
#include "script.h"
#include "termination_signals.h"

// Carries out actions on a running gauge; every wait ends early when the user stops the program.
class ActionRunner {
public:
    enum class Outcome { Done, Stopped, Failed };
    ActionRunner(gaugesim::Simulator& gauge, TerminationSignals& signals, int model)
        : gauge(gauge), signals(signals), model(model) {}

    Outcome run(const Action& action);
    // Until everything queued has gone out.
    Outcome drain();
    // Until the host has read it, too, or has had a second to: closing the port would throw it away.
    Outcome handOver();

private:
    Outcome pause(int milliseconds);
    Outcome readings(const Action& action);
    Outcome silent(bool on);
    Outcome unplug(const Action& action);
    Outcome expect(const Action& action);
    void reading(int number, const std::string& value, const std::string& unit);

    gaugesim::Simulator& gauge;
    TerminationSignals& signals;
    int model;
    int seriesNumber = 0;          // a series goes on counting when repeated, like the gauge's memory
    std::size_t commandsMatched = 0;  // each expect waits for a frame after the one the last expect took
};
