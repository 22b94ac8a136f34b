#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "action_runner.h"
#include "command_line.h"
#include "gauge_text.h"
#include "gaugesim/printouts.h"
#include "gaugesim/simulator.h"
#include "input_lines.h"
#include "script.h"
#include "termination_signals.h"

namespace {

using Outcome = ActionRunner::Outcome;

// What the command line asks for besides a script; with neither, a gauge left printing on its own.
std::vector<Action> commandLineActions(const CommandLine& commandLine) {
    std::vector<Action> actions;
    if (commandLine.readings > 0) {
        actions.push_back({Action::Kind::Readings, {}, commandLine.unit, commandLine.readings, commandLine.intervalMs});
    }
    if (commandLine.dumpCount > 0) {
        actions.push_back({Action::Kind::Dump, {}, commandLine.unit, commandLine.dumpCount, 0, commandLine.gridColumns});
    }
    if (actions.empty() && commandLine.scriptPath.empty()) {
        if (!gaugesim::bannerLines(commandLine.gauge.model).empty()) {
            actions.push_back({Action::Kind::Banner, {}, {}, commandLine.gauge.model});
        }
        actions.push_back({Action::Kind::Readings, {}, commandLine.unit, 0, 2000});
    }
    return actions;
}

Outcome runAll(ActionRunner& runner, const std::vector<Action>& actions) {
    for (const Action& action : actions) {
        if (const Outcome outcome = runner.run(action); outcome != Outcome::Done) return outcome;
    }
    return Outcome::Done;
}

// Carries out each line as it is typed and keeps it in `ran` for --repeat.
Outcome runLive(ActionRunner& runner, TerminationSignals& signals, std::vector<Action>& ran) {
    InputLines input(STDIN_FILENO, signals);
    std::string line;
    std::string error;
    for (int number = 1;; ++number) {
        const InputLines::Result result = input.next(line);
        if (result == InputLines::Result::End) return Outcome::Done;
        if (result == InputLines::Result::Stopped) return Outcome::Stopped;
        const std::optional<Action> action = parseAction(line, error);
        if (!action) {
            if (!error.empty()) std::fprintf(stderr, "gaugesim: line %d: %s\n", number, error.c_str());
            continue;
        }
        ran.push_back(*action);
        if (const Outcome outcome = runner.run(*action); outcome != Outcome::Done) return outcome;
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<CommandLine> commandLine = parseCommandLine(argc, argv);
    if (!commandLine) return 2;
    if (commandLine->help) {
        printHelp(stdout);
        return 0;
    }
    const bool live = commandLine->scriptPath == "-";
    std::vector<Action> plan;
    if (!commandLine->scriptPath.empty() && !live) {
        std::optional<std::vector<Action>> script = loadScript(commandLine->scriptPath);
        if (!script) return 2;
        plan = std::move(*script);
    }

    TerminationSignals signals;
    if (!signals.valid()) return 1;
    gaugesim::Options options = commandLine->gauge;
    options.onCommand = [](const std::string& frame) {
        std::printf("gaugesim: host sent %s\n", printable(frame).c_str());
        std::fflush(stdout);
    };
    gaugesim::Simulator gauge(options);
    if (!gauge.start(commandLine->linkPath)) return 1;
    std::printf("gaugesim: ready on %s", gauge.slavePath().c_str());
    if (!commandLine->linkPath.empty()) std::printf(" (link %s)", commandLine->linkPath.c_str());
    std::printf("\n");
    std::fflush(stdout);

    ActionRunner runner(gauge, signals, options.model);
    const std::vector<Action> more = commandLineActions(*commandLine);
    Outcome outcome = Outcome::Done;
    if (live) {
        outcome = runLive(runner, signals, plan);
        if (outcome == Outcome::Done) outcome = runAll(runner, more);
        plan.insert(plan.end(), more.begin(), more.end());
    } else {
        plan.insert(plan.end(), more.begin(), more.end());
        outcome = runAll(runner, plan);
    }
    // Each round waits for the last one's output, so a script without pauses cannot pile up output.
    while (commandLine->repeat && !plan.empty() && outcome == Outcome::Done) {
        outcome = runner.drain();
        if (outcome == Outcome::Done) outcome = runAll(runner, plan);
    }
    if (outcome == Outcome::Done) {
        if (commandLine->exitAfter) {
            outcome = runner.handOver();
        } else {
            signals.wait(-1);  // the gauge thread goes on answering commands meanwhile
        }
    }
    return outcome == Outcome::Failed ? 1 : 0;
}
