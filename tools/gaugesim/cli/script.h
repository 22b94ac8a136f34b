#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gaugesim/options.h"

// One thing the gauge is told to do, from a script line or from the command line.
struct Action {
    enum class Kind { Line, Reading, Readings, Banner, Dump, Stats, Date, Wait, Silent, Echo, Unplug, Expect };
    Kind kind = Kind::Line;
    std::string text;      // line: the text; reading: the value; expect: the command
    std::string unit;
    int number = 0;        // reading: its number; readings and dump: how many; banner: the model
    int milliseconds = 0;  // wait, unplug, readings: the pause; expect: the time limit, -1 for none
    int columns = 0;       // dump: the grid's columns
    bool on = false;       // silent
    gaugesim::EchoMode echo = gaugesim::EchoMode::Exact;
};

// One script line. Blank lines and comments give neither an action nor an error.
std::optional<Action> parseAction(std::string_view line, std::string& error);
// A whole script file; every bad line is reported on stderr with its number.
std::optional<std::vector<Action>> loadScript(const std::string& path);
