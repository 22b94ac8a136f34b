#pragma once
// The report parser: one complete record from the gauge in, its meaning out. It is a pure function:
// what the gauge object must change (model, prefix, grid width, identification), the value to queue
// and the commands to send are returned as data, and the gauge object applies them.

#include <cstddef>
#include <optional>

#include "gauge/gauge_models.h"
#include "gauge/measured_value.h"

namespace valbrix {

// Every line is handled in a working copy of this many characters; longer lines are cut.
inline constexpr std::size_t workingLineSize = 99;

struct ModelText {
    static constexpr std::size_t capacity = 99;
    char text[capacity + 1] = {};
};

// What the parser needs to know about the gauge object.
struct GaugeView {
    int modelNumber = modelGroup1Device;
    char commandPrefix = '?';
    bool modelTextEmpty = false;
};

// The command sent last, as the gauge object keeps it for the parser. It goes out as a frame (STX,
// the command prefix, the command, ETX); the first line parsed after that prepares it once, leaving
// the command alone ("G00"), so that its code stays what was sent even when a later line switches
// the prefix.
struct LastCommand {
    static constexpr std::size_t capacity = 3998;
    char text[capacity + 1] = {};
    bool prepared = false;
};

// The frame just sent, before any line has prepared it.
LastCommand sentCommand(const char* frame);

// What preparing the last command keeps of its text.
struct CommandSpan {
    std::size_t start = 0;
    std::size_t length = 0;
};

// Keeps the span of the text and marks the command prepared.
void prepare(LastCommand& command, const CommandSpan& kept);

struct ParseResult {
    std::optional<int> modelNumber;
    std::optional<char> commandPrefix;
    std::optional<ModelText> modelText;
    std::optional<int> gridColumns;
    std::optional<MeasuredValue> value;
    bool markIdentified = false;
    bool queueExtendedIdentification = false;  // the 6135 answers "G00" and must be asked "G0A"
    bool identificationReply = false;          // the application is told of it
    std::optional<CommandSpan> preparedCommand;  // this line prepared the last command
};

// lastCommand is empty before any command was sent.
ParseResult parseLine(const LastCommand& lastCommand, const char* line, const GaugeView& gauge);

}  // namespace valbrix
