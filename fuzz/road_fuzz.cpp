// The whole road: arbitrary gauge bytes through framing, parser, ring, formatting and the emitter, with
// choices drawn from the input. Only the keys of a number, the chosen unit display, the chosen control
// key, a grid or the user's sequence may reach the sink.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "road_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 8) return 0;
    const std::size_t sequenceLength = std::min<std::size_t>(data[6] % 48, size - 8);
    std::string sequence(reinterpret_cast<const char*>(data) + 8, sequenceLength);
    sequence = sequence.c_str();  // the field holds no NUL
    // One storage for every input: the road is rebuilt in it, never allocated afresh.
    static std::optional<valbrix::testing::RoadCheck> road;
    road.emplace(valbrix::testing::drawChoices(data, sequence));
    road->gaugeSends(std::string(reinterpret_cast<const char*>(data) + 8 + sequenceLength, size - 8 - sequenceLength),
                     1 + data[7] % 97);
    const std::string faults = road->faults();
    // Gone before the next input, so that nothing of this one looks like a leak.
    road.reset();
    if (!faults.empty()) {
        std::fprintf(stderr, "%s\n", faults.c_str());
        std::abort();
    }
    return 0;
}
