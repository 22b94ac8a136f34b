#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "gaugesim/options.h"

struct CommandLine {
    gaugesim::Options gauge;
    std::string linkPath;
    std::string scriptPath;  // "-" for standard input
    int readings = 0;
    int intervalMs = 2000;
    int dumpCount = 0;
    int gridColumns = 1;
    std::string unit = "um";
    bool repeat = false;
    bool exitAfter = false;
    bool help = false;
};

// Tells what is wrong on stderr and gives nothing when the arguments make no sense.
std::optional<CommandLine> parseCommandLine(int argc, char** argv);
void printHelp(std::FILE* out);
