#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace gaugesim {

enum class EchoMode { Exact, None, Wrong };
enum class LineEnd { CrLf, Lf, Cr };

// One piece of output, reported once its last byte is in the master: as close as a pseudo-terminal
// lets us get to the moment the last stop bit left the gauge.
struct WrittenItem {
    enum class Kind { Echo, Reply, Printout };
    Kind kind = Kind::Printout;
    std::string bytes;
    std::chrono::steady_clock::time_point lastByteAt;
};

struct Options {
    int model = 6121;                      // G00 is answered with std::to_string(model) unless modelText is set
    std::string modelText;                 // e.g. "5267 V2.1" for gauges that answer more than their number
    std::string extendedText = "6135 FN";  // what a 6135 answers to G0A
    char replyPrefix = 0;                  // some gauges put their prefix in front of every "G" answer
    EchoMode echo = EchoMode::Exact;
    LineEnd lineEnd = LineEnd::CrLf;
    bool paced = true;                     // send at 4800 baud, else as fast as the pseudo-terminal takes it
    bool silent = false;                   // a gauge that is switched off, or a wrong port
    bool answerFollowUps = false;          // the host ignores these answers, so most runs leave them out
    // Both run on the gauge thread: keep them short and never wait on the Simulator from inside them.
    std::function<void(const WrittenItem&)> onItemWritten;
    std::function<void(const std::string& frame)> onCommand;
};

}  // namespace gaugesim
