#include "command_line.h"

#include <string_view>

#include "gauge_text.h"
#include "parsing.h"

namespace {

constexpr const char* helpText = R"(Usage: gaugesim [OPTION]...

Plays a measuring gauge at the end of a virtual serial cable, so you can try Valbrix
without a gauge. Once the port exists gaugesim prints

    gaugesim: ready on /dev/pts/N

Point Valbrix at that port, or at the --link path, which stays the same from run to run.
The gauge echoes each command Valbrix sends and answers its identification request (G00)
with the model number, just like a real one, and prints readings as a gauge does when
you press its print key. Every command received is shown on standard output.

Port:
  --link PATH            also make PATH a symbolic link to the port; an older link there
                         is replaced, missing folders are made, and the link is removed
                         again when gaugesim ends
  --fast                 send as fast as possible instead of at the gauge's 4800 baud
  --line-end crlf|lf|cr  how lines end (default crlf, like the gauges)

Gauge:
  --model N              the model number it reports (default 6121)
  --model-text T         report T instead, e.g. "5267 V2.1"
  --extended T           what a model 6135 reports when asked for more (default "6135 FN")
  --reply-prefix C       put character C in front of every answer ("?" gives "?G6121")
  --answer-follow-ups    answer the set-up commands G170000, G160000 and G150000 with
                         "G17 OK" and so on (default: echo them only)
  --echo exact|none|wrong
                         echo commands correctly (default), not at all, or with one byte
                         changed, to see how Valbrix copes
  --silent               echo and print nothing, like a gauge that is switched off

What it prints:
  --readings N           N readings, numbered from 1
  --interval MS          milliseconds between those readings (default 2000)
  --unit U               unit of the readings and of the memory dump (default um)
  --dump N               a memory dump of N values
  --grid C               columns of the memory dump's grid (default 1)
  --script FILE          the actions in FILE, see below; "-" reads them from standard
                         input and carries out each line as you type it
  --repeat               do the script, readings and dump again and again
  --exit-after           end when they are done, instead of answering commands until
                         you press Ctrl-C

With no --script, --readings or --dump, the gauge prints its banner and then a slowly
changing reading every two seconds until you stop it.

Script actions, one per line; lines starting with # are comments:
  line TEXT              print TEXT as it is, spaces included
  reading N VALUE UNIT   print reading number N, e.g. "reading 12 4.56 mm",
                         "reading 3 -0,75 MILS" or "reading 7 --- um"
  readings N MS UNIT     print N changing readings MS milliseconds apart (0: for ever)
  banner MODEL           print the banner of MODEL: 5264, 5267, 6121, 6141, 7482 or 8525
  dump COUNT COLUMNS UNIT
                         print a memory dump of COUNT values in a grid of COLUMNS
  stats UNIT             print a block of statistics
  date                   print the date and time
  wait MS                pause for MS milliseconds
  silent on|off          switch the gauge off or on again
  echo exact|none|wrong  change how commands are echoed
  unplug MS              pull the cable: the port goes away for MS milliseconds, then a
                         new one appears (at the same --link path)
  expect COMMAND [MS]    wait until Valbrix sends COMMAND, e.g. G00; with MS, give up
                         after MS milliseconds and end with exit status 1

Texts may contain characters such as µ, which are sent in Windows-1252 as gauges do, and
any byte written as \xHH. Units gauges print include um, mm, mils, inch, %, mT, A/cm,
kA/m, Gauss, in/us, m/s, us and ns. A model 5264 prints its readings without a colon
("00012 4.56 MM").

Examples:
  gaugesim --link /tmp/gauge
  gaugesim --model 5264 --readings 20 --interval 500 --unit MM
  gaugesim --fast --dump 100 --grid 5 --unit mm --exit-after

Exit status: 0 when stopped or done, 1 when the port cannot be made or an expect timed
out, 2 for bad arguments or a bad script.
)";

}  // namespace

void printHelp(std::FILE* out) { std::fputs(helpText, out); }

std::optional<CommandLine> parseCommandLine(int argc, char** argv) {
    CommandLine result;
    const auto bad = [](std::string_view what) {
        std::fprintf(stderr, "gaugesim: %.*s (try --help)\n", static_cast<int>(what.size()), what.data());
        return std::nullopt;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        const auto flag = [&](std::string_view name) { return option == name; };
        if (flag("--help") || flag("-h")) {
            result.help = true;
            continue;
        }
        if (flag("--fast")) {
            result.gauge.paced = false;
            continue;
        }
        if (flag("--silent")) {
            result.gauge.silent = true;
            continue;
        }
        if (flag("--answer-follow-ups")) {
            result.gauge.answerFollowUps = true;
            continue;
        }
        if (flag("--repeat")) {
            result.repeat = true;
            continue;
        }
        if (flag("--exit-after")) {
            result.exitAfter = true;
            continue;
        }
        if (i + 1 >= argc) return bad(std::string(option) + " needs a value, or is unknown");
        const std::string_view value = argv[++i];
        const auto number = [&](int& into, int minimum) {
            const std::optional<int> parsed = parseNumber(value, minimum);
            if (parsed) into = *parsed;
            return parsed.has_value();
        };
        bool good = true;
        if (flag("--link")) {
            result.linkPath = value;
        } else if (flag("--model")) {
            good = number(result.gauge.model, 0);
        } else if (flag("--model-text")) {
            result.gauge.modelText = toGaugeText(value);
        } else if (flag("--extended")) {
            result.gauge.extendedText = toGaugeText(value);
        } else if (flag("--reply-prefix")) {
            good = value.size() == 1;
            if (good) result.gauge.replyPrefix = value.front();
        } else if (flag("--echo")) {
            const auto mode = parseEchoMode(value);
            good = mode.has_value();
            result.gauge.echo = mode.value_or(gaugesim::EchoMode::Exact);
        } else if (flag("--line-end")) {
            const auto end = parseLineEnd(value);
            good = end.has_value();
            result.gauge.lineEnd = end.value_or(gaugesim::LineEnd::CrLf);
        } else if (flag("--script")) {
            result.scriptPath = value;
        } else if (flag("--readings")) {
            good = number(result.readings, 1);
        } else if (flag("--interval")) {
            good = number(result.intervalMs, 0);
        } else if (flag("--unit")) {
            result.unit = toGaugeText(value);
        } else if (flag("--dump")) {
            good = number(result.dumpCount, 1);
        } else if (flag("--grid")) {
            good = number(result.gridColumns, 1);
        } else {
            return bad("unknown option " + std::string(option));
        }
        if (!good) return bad("bad value \"" + std::string(value) + "\" for " + std::string(option));
    }
    return result;
}
