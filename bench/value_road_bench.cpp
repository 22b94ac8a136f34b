// The value road's hot spots: every received byte goes through the framing, every line through the
// parser, every value through the number formats.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "common/numbers.h"
#include "fake_clock.h"
#include "fake_ports.h"
#include "gauge/catalogue.h"
#include "gauge/report_parser.h"
#include "gauge/varni_tiny.h"

namespace {

using namespace valbrix;

const char* const valueLines[] = {
    "\r\n  12:  4.56 mm\x03",
    "\r\n   3:  -0,75 MILS\x03",
    "\r\n 118:  123.4 um\x03",
    "\r\n   5:  1.234 kA/m\x03",
};

void ParseAndFormatValueLine(benchmark::State& state) {
    const GaugeView gauge;
    const LastCommand command = sentCommand("\x02?G00\x03");
    std::size_t i = 0;
    for (auto _ : state) {
        const ParseResult result = parseLine(command, valueLines[i++ % 4], gauge);
        const MeasuredValue& v = *result.value;
        std::string text = formatValue(v.value, v.unit, v.integerDigits, v.decimals, gauge.modelNumber, ',');
        benchmark::DoNotOptimize(text);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(ParseAndFormatValueLine);

void HandleBytePerByte(benchmark::State& state) {
    testing::FakeClock clock;
    testing::FakePorts ports(clock);
    ports.add(1);
    auto gauge = std::make_unique<cVarniTiny>(1, nullptr, 1, GaugeEnvironment{&ports, &clock, false});
    const std::string dump = "  12:  4.56 mm\r\n";
    MeasuredValue drained;
    std::size_t i = 0;
    for (auto _ : state) {
        gauge->HandleByte(static_cast<unsigned char>(dump[i]));
        if (++i == dump.size()) {
            i = 0;
            gauge->takeValue(drained);  // keep the ring from filling up
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(HandleBytePerByte);

void ReadDecimal(benchmark::State& state) {
    const char* const tokens[] = {"4.56", "-0,75", "123.4", "1.234.5"};
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(readDecimal(tokens[i++ % 4]));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(ReadDecimal);

}  // namespace
