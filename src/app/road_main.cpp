// valbrix-road: the value road without a desktop. It connects to the gauge on a port, asks a silent
// gauge to identify itself, and prints every value as the number text and unit that would be typed.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "common/clock.h"
#include "gauge/catalogue.h"
#include "gauge/measured_value.h"
#include "gauge/varni_tiny.h"

namespace {

std::atomic<bool> stopRequested{false};

void requestStop(int) { stopRequested.store(true); }

void usage() {
    std::puts(
        "usage: valbrix-road --port N [--seconds S] [--separator C] [--units micro|u|none]\n"
        "Reads the gauge on COM port N and prints each value as it would be typed.\n"
        "  --seconds S     stop after S seconds (default: run until Ctrl+C)\n"
        "  --separator C   decimal separator, '.' or ',' (default '.')\n"
        "  --units         unit display: micro (\xC2\xB5m, default), u (um) or none");
}

// Terminal output is UTF-8; the road's texts are Windows-1252 with µ as 0xB5.
std::string forTerminal(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\xB5') out += "\xC2\xB5";
        else out += c;
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    int portNumber = 0;
    int seconds = 0;
    char separator = '.';
    valbrix::UnitDisplay display = valbrix::UnitDisplay::Micro;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--port" && next != nullptr) {
            portNumber = std::atoi(argv[++i]);
        } else if (arg == "--seconds" && next != nullptr) {
            seconds = std::atoi(argv[++i]);
        } else if (arg == "--separator" && next != nullptr) {
            separator = argv[++i][0];
        } else if (arg == "--units" && next != nullptr) {
            const std::string choice = argv[++i];
            display = choice == "none" ? valbrix::UnitDisplay::None
                      : choice == "u"  ? valbrix::UnitDisplay::PlainU
                                       : valbrix::UnitDisplay::Micro;
        } else {
            usage();
            return arg == "--help" ? 0 : 2;
        }
    }
    if (portNumber < 1 || portNumber > valbrix::highestPortNumber) {
        usage();
        return 2;
    }
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);

    std::atomic<bool> identified{false};
    auto gauge = std::make_unique<valbrix::cVarniTiny>(static_cast<std::int16_t>(portNumber),
                                                       [&identified] { identified.store(true); }, 1);
    if (!gauge->Port().IsConfigured()) {
        std::fprintf(stderr, "valbrix-road: COM%d cannot be opened\n", portNumber);
        return 1;
    }
    gauge->Port().SetDTR();
    gauge->Port().SetRTS();
    std::printf("valbrix-road: listening on COM%d\n", portNumber);
    std::fflush(stdout);

    valbrix::Clock& clock = valbrix::systemClock();
    const std::uint32_t start = clock.nowMs();
    std::uint32_t lastPoll = start - 2000;
    while (!stopRequested.load() && (seconds == 0 || valbrix::elapsedMs(start, clock.nowMs()) < seconds * 1000u)) {
        if (identified.exchange(false)) {
            gauge->QueueFollowUpRequests();
            std::printf("gauge: %s\n", valbrix::displayName(gauge->GetModelText().text).c_str());
        }
        valbrix::MeasuredValue record;
        while (gauge->takeValue(record)) {
            const std::string number = valbrix::formatValue(record.value, record.unit, record.integerDigits,
                                                            record.decimals, gauge->GetDeviceModel(), separator);
            const std::string unit = valbrix::unitText(record.unit, display);
            if (valbrix::isNoValue(record.value)) std::printf("(no value)\n");
            else std::printf("%s\n", forTerminal(unit.empty() ? number : number + " " + unit).c_str());
        }
        std::fflush(stdout);
        if (!gauge->IsIdentified() && valbrix::elapsedMs(lastPoll, clock.nowMs()) >= 2000) {
            gauge->RequestIdentification();
            lastPoll = clock.nowMs();
        }
        clock.sleepMs(50);
    }
    return 0;
}
