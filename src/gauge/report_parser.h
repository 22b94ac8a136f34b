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

struct ParseResult {
    std::optional<int> modelNumber;
    std::optional<char> commandPrefix;
    std::optional<ModelText> modelText;
    std::optional<int> gridColumns;
    std::optional<MeasuredValue> value;
    bool markIdentified = false;
    bool queueExtendedIdentification = false;  // the 6135 answers "G00" and must be asked "G0A"
    bool identificationReply = false;          // the application is told of it
};

// lastCommand is the frame sent last (STX, prefix, command, ETX), empty before any was sent.
ParseResult parseLine(const char* lastCommand, const char* line, const GaugeView& gauge);

}  // namespace valbrix
