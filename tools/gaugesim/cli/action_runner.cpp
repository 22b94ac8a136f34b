#include "action_runner.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gaugesim/printouts.h"

namespace {

// A short slice keeps the runner responsive to Ctrl-C while it waits on the gauge.
constexpr int kSliceMs = 100;

}  // namespace

ActionRunner::Outcome ActionRunner::run(const Action& action) {
    switch (action.kind) {
    case Action::Kind::Line: gauge_.sendLine(action.text); break;
    case Action::Kind::Reading: reading(action.number, action.text, action.unit); break;
    case Action::Kind::Readings: return readings(action);
    case Action::Kind::Banner:
        if (!gauge_.banner(action.number)) std::fprintf(stderr, "gaugesim: model %d prints no banner\n", action.number);
        break;
    case Action::Kind::Dump: gauge_.memoryDump(action.number, action.columns, action.unit); break;
    case Action::Kind::Stats: gauge_.statistics(action.unit); break;
    case Action::Kind::Date: gauge_.dateLine(); break;
    case Action::Kind::Wait: return pause(action.milliseconds);
    case Action::Kind::Silent: return silent(action.on);
    case Action::Kind::Echo: gauge_.setEcho(action.echo); break;
    case Action::Kind::Unplug: return unplug(action);
    case Action::Kind::Expect: return expect(action);
    }
    return Outcome::Done;
}

ActionRunner::Outcome ActionRunner::drain() {
    while (!gauge_.waitIdle(kSliceMs)) {
        if (signals_.wait(0)) return Outcome::Stopped;
    }
    return Outcome::Done;
}

ActionRunner::Outcome ActionRunner::handOver() {
    if (drain() == Outcome::Stopped) return Outcome::Stopped;
    for (int waited = 0; waited < 1000 && !gauge_.waitHostRead(0); waited += 10) {
        if (signals_.wait(10)) return Outcome::Stopped;
    }
    return Outcome::Done;
}

ActionRunner::Outcome ActionRunner::pause(int milliseconds) {
    return signals_.wait(milliseconds) ? Outcome::Stopped : Outcome::Done;
}

ActionRunner::Outcome ActionRunner::readings(const Action& action) {
    for (int i = 0; action.number == 0 || i < action.number; ++i) {
        ++seriesNumber_;
        // Slow drift around a typical coating thickness, so a host's display visibly changes.
        const double value = 50.0 + 2.5 * std::sin(seriesNumber_ / 5.0);
        reading(seriesNumber_, gaugesim::formatValue(value, 1), action.unit);
        if (pause(action.milliseconds) == Outcome::Stopped) return Outcome::Stopped;
    }
    return Outcome::Done;
}

ActionRunner::Outcome ActionRunner::silent(bool on) {
    // Switching off drops what is still queued; in a script, what came before must go out first.
    if (on && drain() == Outcome::Stopped) return Outcome::Stopped;
    gauge_.setSilent(on);
    return Outcome::Done;
}

ActionRunner::Outcome ActionRunner::unplug(const Action& action) {
    // Unplugging drops what is queued or unread; in a script, what came before must arrive first.
    if (handOver() == Outcome::Stopped) return Outcome::Stopped;
    gauge_.unplug();
    std::printf("gaugesim: unplugged for %d ms\n", action.milliseconds);
    std::fflush(stdout);
    if (pause(action.milliseconds) == Outcome::Stopped) return Outcome::Stopped;
    if (!gauge_.plugIn()) return Outcome::Failed;
    std::printf("gaugesim: plugged in again on %s\n", gauge_.slavePath().c_str());
    std::fflush(stdout);
    return Outcome::Done;
}

ActionRunner::Outcome ActionRunner::expect(const Action& action) {
    for (int waited = 0;;) {
        const int slice = action.milliseconds < 0 ? kSliceMs : std::min(kSliceMs, action.milliseconds - waited);
        if (const auto index = gauge_.waitForCommand(action.text, commandsMatched_, slice)) {
            commandsMatched_ = *index + 1;
            return Outcome::Done;
        }
        if (signals_.wait(0)) return Outcome::Stopped;
        waited += slice;
        if (action.milliseconds >= 0 && waited >= action.milliseconds) break;
    }
    std::fprintf(stderr, "gaugesim: %s did not arrive within %d ms\n", action.text.c_str(), action.milliseconds);
    return Outcome::Failed;
}

void ActionRunner::reading(int number, const std::string& value, const std::string& unit) {
    if (model_ == 5264) {
        gauge_.colonlessReading(number, value, unit);
    } else {
        gauge_.reading(number, value, unit);
    }
}
