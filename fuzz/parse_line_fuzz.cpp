// Any bytes a gauge may print, after any command, in any gauge state, go through the parser without
// reading or writing outside its buffers.
#include <cstddef>
#include <cstdint>
#include <string>

#include "gauge/report_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    static const char* const commands[] = {"", "\x02?G00\x03", "\x02?G0A\x03", "\x02/G170000\x03", "G"};
    valbrix::LastCommand lastCommand = valbrix::sentCommand(commands[data[0] % 5]);
    lastCommand.prepared = (data[0] & 0x80) != 0;
    valbrix::GaugeView gauge;
    static const int models[] = {6121, 6135, 5267, 7483, 7480, 8525, 5264};
    gauge.modelNumber = models[data[1] % 7];
    gauge.commandPrefix = "?/@"[data[1] % 3];
    gauge.modelTextEmpty = (data[1] & 0x80) != 0;
    const std::string line(reinterpret_cast<const char*>(data + 2), size - 2);
    const valbrix::ParseResult result = valbrix::parseLine(lastCommand, line.c_str(), gauge);
    if (result.preparedCommand) valbrix::prepare(lastCommand, *result.preparedCommand);
    return 0;
}
