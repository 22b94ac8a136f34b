// A byte stream of any length and content, framed by every model's line-end rule, never runs over
// the record buffer, and every record handed on ends with ETX.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "gauge/receive_framing.h"
#include "gauge/report_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static const int models[] = {6121, 6135, 5267, 7482, 8525};
    const int model = models[data[0] % 5];
    auto framing = std::make_unique<valbrix::ReceiveFraming>();
    char prefix = '?';
    const valbrix::LastCommand lastCommand = valbrix::sentCommand("\x02?G00\x03");
    for (std::size_t i = 1; i < size; ++i) {
        framing->handle(data[i], model, prefix, [&lastCommand](const char* record) {
            const std::size_t length = std::strlen(record);
            if (length == 0 || record[length - 1] != valbrix::ETX || length >= valbrix::ReceiveFraming::bufferSize)
                std::abort();
            valbrix::parseLine(lastCommand, record, valbrix::GaugeView{});
        });
    }
    return 0;
}
