#pragma once
// Cuts the gauge's byte stream into records. The gauges end their lines differently, so the rule that
// closes a record depends on the model; the closing CR or LF becomes the first character of the next
// record, and every record handed on ends with ETX.

#include <cstddef>

#include "gauge/frame_characters.h"

namespace valbrix {

// The command prefix a model's traffic implies (0: leave it as it is) and whether byte closes the
// record whose last character is last.
struct LineEndDecision {
    char commandPrefix;
    bool closesRecord;
};
LineEndDecision lineEndRule(int modelNumber, unsigned char byte, int receiveLength, unsigned char last);

class ReceiveFraming {
public:
    static constexpr std::size_t bufferSize = 3999;

    struct Step {
        bool processed = false;     // a character was stored (the line counts as active)
        bool recordClosed = false;  // a record was handed on during this byte
    };

    // Feeds one received byte. commandPrefix is set as the model's line-end rule says before anything
    // else happens, so the parser called through onRecord(const char* record) already sees it.
    //
    // A record that has run over the buffer keeps nothing more, and any CR or LF closes it: a flood of
    // bytes after which no line end would count (0xFF, say) cannot keep the next line from ending.
    template <typename Prefix, typename OnRecord>
    Step handle(unsigned char byte, int modelNumber, Prefix& commandPrefix, OnRecord&& onRecord) {
        const unsigned char last = receiveLength > 0 ? static_cast<unsigned char>(receiveBuffer[receiveLength - 1]) : 0;
        const LineEndDecision rule = lineEndRule(modelNumber, byte, static_cast<int>(receiveLength), last);
        if (rule.commandPrefix != 0) commandPrefix = rule.commandPrefix;
        Step step;
        if (rule.closesRecord || (overlong && isLineEnd(byte))) {
            step.recordClosed = process(ETX, onRecord);
            process(STX, onRecord);
            process(static_cast<char>(byte), onRecord);
        } else {
            if (byte == 0) return step;
            step.recordClosed = process(static_cast<char>(byte), onRecord);
        }
        step.processed = true;
        return step;
    }

    // The line has been quiet for the 500 ms after which the acquisition loop counts it as idle. No
    // gauge pauses that long inside a line, so a record whose last bytes are line ends is complete even
    // where the model's rule did not let them close it: noise whose last byte is no character of a line
    // (a gauge switched on mid-transmission, a wrong speed) must not take the next line down with it.
    // The record is closed as its first line end would have closed it. True when a record was handed on.
    template <typename OnRecord>
    bool lineQuiet(OnRecord&& onRecord) {
        if (overlong || onlyLineEnds) return false;
        std::size_t end = receiveLength;
        while (end > 0 && isLineEnd(static_cast<unsigned char>(receiveBuffer[end - 1]))) --end;
        if (end == receiveLength) return false;
        // Of the line ends only the last two begin the next record, as of a run of blank lines.
        const std::size_t from = receiveLength - end > 2 ? receiveLength - 2 : end;
        char lineEnds[2];
        const std::size_t kept = receiveLength - from;
        for (std::size_t i = 0; i < kept; ++i) lineEnds[i] = receiveBuffer[from + i];
        receiveLength = end;
        const bool closed = process(ETX, onRecord);
        for (std::size_t i = 0; i < kept; ++i) append(lineEnds[i]);
        return closed;
    }

    // Forgets the record begun so far.
    void reset() {
        receiveLength = 0;
        overlong = false;
        onlyLineEnds = true;
        receiveBuffer[0] = '\0';
    }

private:
    static bool isLineEnd(unsigned char c) { return c == '\r' || c == '\n'; }

    template <typename OnRecord>
    bool process(char c, OnRecord& onRecord) {
        if (c == STX) {
            reset();
            return false;
        }
        append(c);
        if (c != ETX) return false;
        // A record too long for the buffer is dropped whole rather than handed on cut.
        const bool complete = !overlong;
        if (complete) onRecord(static_cast<const char*>(receiveBuffer));
        reset();
        return complete;
    }

    void append(char c);

    char receiveBuffer[bufferSize] = {};
    std::size_t receiveLength = 0;
    bool overlong = false;
    bool onlyLineEnds = true;  // the record holds nothing but the control bytes a line begins with
};

}  // namespace valbrix
