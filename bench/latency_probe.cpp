// From the last byte of a value line leaving the gauge to the first key event of that value: the
// simulated gauge prints at 4800 baud on a pseudo-terminal, the gauge object and the export loop run
// on their threads as in the program, and a sink notes when each value's keys arrive.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/user_folder.h"
#include "export/export_loop.h"
#include "gaugesim/simulator.h"

namespace {

using Steady = std::chrono::steady_clock;

class TimestampSink final : public valbrix::KeySink {
public:
    valbrix::UntypedKeys deliver(const valbrix::KeyEvents&) override {
        const std::lock_guard<std::mutex> lock(mutex);
        arrivals.push_back(Steady::now());
        return {};
    }
    std::vector<Steady::time_point> taken() {
        const std::lock_guard<std::mutex> lock(mutex);
        return arrivals;
    }

private:
    std::mutex mutex;
    std::vector<Steady::time_point> arrivals;
};

class SilentShell final : public valbrix::ExportShell {
public:
    void showDeviceLine(const std::string&) override {}
    void showValueText(const std::string&) override {}
    void showUnitText(const std::string&) override {}
    void repaint() override {}
    void hideToTray() override {}
    void updateTrayIcon() override {}
    void setTrayTips(const valbrix::LocalizedText&) override {}
    void setTrayTip(const std::string&) override {}
    void keysNotTyped(const valbrix::UntypedKeys&) override {}
};

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
    return values[index];
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 200;
    char folder[] = "/tmp/valbrix-latency-XXXXXX";
    setenv("XDG_CONFIG_HOME", mkdtemp(folder), 1);

    std::mutex writtenMutex;
    std::vector<Steady::time_point> written;
    gaugesim::Options options;
    options.onItemWritten = [&](const gaugesim::WrittenItem& item) {
        if (item.kind != gaugesim::WrittenItem::Kind::Printout) return;
        const std::lock_guard<std::mutex> lock(writtenMutex);
        written.push_back(item.lastByteAt);
    };
    gaugesim::Simulator simulator(options);
    if (!simulator.start(valbrix::userConfigFolder() + "/ports/COM5")) return 1;

    SilentShell shell;
    TimestampSink keys;
    valbrix::ShellFlags flags;
    flags.inTray = true;
    flags.device = 8525;
    valbrix::ChoicesSnapshot choices;
    choices.set({"Enter", 1, ".", "2,7 \xB5m/mil/Tesla", ""});
    auto gauge = std::make_unique<valbrix::cVarniTiny>(5, nullptr, 1);
    valbrix::OpenDesk desk;
    valbrix::ExportLoop loop(*gauge, shell, keys, desk, flags, choices, false);
    loop.start();

    // Spaced wider than two passes, so that each value is measured on its own.
    for (int i = 1; i <= count; ++i) {
        simulator.reading(i, std::to_string(100 + i % 50) + ".5", "um");
        std::this_thread::sleep_for(std::chrono::milliseconds(150 + (i * 37) % 50));
    }
    simulator.waitIdle(10000);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    loop.stop();

    const std::vector<Steady::time_point> arrivals = keys.taken();
    std::vector<double> latencies;
    for (std::size_t i = 0; i < arrivals.size() && i < written.size(); ++i)
        latencies.push_back(std::chrono::duration<double, std::milli>(arrivals[i] - written[i]).count());
    std::filesystem::remove_all(folder);
    if (latencies.size() != static_cast<std::size_t>(count)) {
        std::fprintf(stderr, "latency_probe: %zu values written, %zu typed\n", written.size(), arrivals.size());
        return 1;
    }
    std::printf("values %d  median %.1f ms  p99 %.1f ms  max %.1f ms\n", count, percentile(latencies, 0.5),
                percentile(latencies, 0.99), percentile(latencies, 1.0));
    return 0;
}
