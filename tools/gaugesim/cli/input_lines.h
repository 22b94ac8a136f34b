#pragma once

#include <string>

#include "termination_signals.h"

// Lines read from a descriptor as they are typed, so a script on standard input runs live.
class InputLines {
public:
    enum class Result { Line, End, Stopped };
    InputLines(int fd, TerminationSignals& signals) : fd(fd), signals(signals) {}
    Result next(std::string& line);

private:
    int fd;
    TerminationSignals& signals;
    std::string buffer;
    bool ended = false;
};
