#include "action_runner.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gaugesim/printouts.h"

namespace {

// A short slice keeps the runner responsive to Ctrl-C while it waits on the gauge.
constexpr int sliceMs = 100;

}  // namespace

ActionRunner::Outcome ActionRunner::run(const Action& action) {
    switch (action.kind) {
    case Action::Kind::Line: gauge.sendLine(action.text); break;
    case Action::Kind::Reading: reading(action.number, action.text, action.unit); break;
    case Action::Kind::Readings: return readings(action);
    case Action::Kind::Banner:
        if (!gauge.banner(action.number)) std::fprintf(stderr, "gaugesim: model %d prints no banner\n", action.number);
        break;
    case Action::Kind::Dump: gauge.memoryDump(action.number, action.columns, action.unit); break;
    case Action::Kind::Stats: gauge.statistics(action.unit); break;
    case Action::Kind::Date: gauge.dateLine(); break;
    case Action::Kind::Wait: return pause(action.milliseconds);
    case Action::Kind::Silent: return silent(action.on);
    case Action::Kind::Echo: gauge.setEcho(action.echo); break;
    case Action::Kind::Unplug: return unplug(action);
    case Action::Kind::Expect: return expect(action);
    }
    return Outcome::Done;
}

ActionRunner::Outcome ActionRunner::drain() {
    while (!gauge.waitIdle(sliceMs)) {
        if (signals.wait(0)) return Outcome::Stopped;
    }
    return Outcome::Done;
}

ActionRunner::Outcome ActionRunner::handOver() {
    if (drain() == Outcome::Stopped) return Outcome::Stopped;
    for (int waited = 0; waited < 1000 && !gauge.waitHostRead(0); waited += 10) {
        if (signals.wait(10)) return Outcome::Stopped;
    }
    return Outcome::Done;
}

ActionRunner::Outcome ActionRunner::pause(int milliseconds) {
    return signals.wait(milliseconds) ? Outcome::Stopped : Outcome::Done;
}

ActionRunner::Outcome ActionRunner::readings(const Action& action) {
    for (int i = 0; action.number == 0 || i < action.number; ++i) {
        ++seriesNumber;
        // Slow drift around a typical coating thickness, so a host's display visibly changes.
        const double value = 50.0 + 2.5 * std::sin(seriesNumber / 5.0);
        reading(seriesNumber, gaugesim::formatValue(value, 1), action.unit);
        if (pause(action.milliseconds) == Outcome::Stopped) return Outcome::Stopped;
    }
    return Outcome::Done;
}

ActionRunner::Outcome ActionRunner::silent(bool on) {
    // Switching off drops what is still queued; in a script, what came before must go out first.
    if (on && drain() == Outcome::Stopped) return Outcome::Stopped;
    gauge.setSilent(on);
    return Outcome::Done;
}

ActionRunner::Outcome ActionRunner::unplug(const Action& action) {
    // Unplugging drops what is queued or unread; in a script, what came before must arrive first.
    if (handOver() == Outcome::Stopped) return Outcome::Stopped;
    gauge.unplug();
    std::printf("gaugesim: unplugged for %d ms\n", action.milliseconds);
    std::fflush(stdout);
    if (pause(action.milliseconds) == Outcome::Stopped) return Outcome::Stopped;
    if (!gauge.plugIn()) return Outcome::Failed;
    std::printf("gaugesim: plugged in again on %s\n", gauge.slavePath().c_str());
    std::fflush(stdout);
    return Outcome::Done;
}

ActionRunner::Outcome ActionRunner::expect(const Action& action) {
    for (int waited = 0;;) {
        const int slice = action.milliseconds < 0 ? sliceMs : std::min(sliceMs, action.milliseconds - waited);
        if (const auto index = gauge.waitForCommand(action.text, commandsMatched, slice)) {
            commandsMatched = *index + 1;
            return Outcome::Done;
        }
        if (signals.wait(0)) return Outcome::Stopped;
        waited += slice;
        if (action.milliseconds >= 0 && waited >= action.milliseconds) break;
    }
    std::fprintf(stderr, "gaugesim: %s did not arrive within %d ms\n", action.text.c_str(), action.milliseconds);
    return Outcome::Failed;
}

void ActionRunner::reading(int number, const std::string& value, const std::string& unit) {
    if (model == 5264) {
        gauge.colonlessReading(number, value, unit);
    } else {
        gauge.reading(number, value, unit);
    }
}
