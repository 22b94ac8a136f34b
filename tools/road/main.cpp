// valbrix-road: the value road without a desktop. It connects to the gauge on a port and runs the
// export loop as if the dialog sat in the tray with transfer on, printing the keys it would type
// ("123 µm<ENTER>") instead of typing them.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "export/export_loop.h"
#include "export/key_text.h"
#include "gauge/varni_tiny.h"

namespace {

std::atomic<bool> stopRequested{false};

void requestStop(int) { stopRequested.store(true); }

void usage() {
    std::puts(
        "usage: valbrix-road --port N [--seconds S] [--control NAME] [--sequence KEYS] [--separator C]\n"
        "                    [--units micro|u|none] [--device 6121|8525]\n"
        "Reads the gauge on COM port N and prints every value with the keys that would follow it.\n"
        "  --seconds S       stop after S seconds (default: run until Ctrl+C)\n"
        "  --control NAME    key after each value: Enter (default), Tab, Right, Left, Up, Down,\n"
        "                    Sequence or -none-\n"
        "  --sequence KEYS   the keys of the Sequence choice (default TAB,DOWN)\n"
        "  --separator C     decimal separator, '.' (default) or ','\n"
        "  --units           unit display: micro (\xC2\xB5m, default), u (um) or none\n"
        "  --device N        6121 asks a silent gauge who it is (default), 8525 waits for its printout");
}

// Terminal output is UTF-8; the road's texts are Windows-1252.
std::string forTerminal(const std::string& text) {
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

// Prints the keys of each value on a line of its own.
class PrintingKeySink final : public valbrix::KeySink {
public:
    valbrix::UntypedKeys deliver(const valbrix::KeyEvents& events) override {
        std::printf("%s\n", forTerminal(valbrix::describeKeys(events)).c_str());
        std::fflush(stdout);
        return {};
    }
};

// The road has no window: it shows the gauge's name when it changes and ignores the rest.
class ConsoleShell final : public valbrix::ExportShell {
public:
    void showDeviceLine(const std::string& name) override {
        if (name == deviceLine) return;
        deviceLine = name;
        std::printf("gauge: %s\n", forTerminal(name).c_str());
        std::fflush(stdout);
    }
    void showValueText(const std::string&) override {}
    void showUnitText(const std::string&) override {}
    void repaint() override {}
    void hideToTray() override {}
    void updateTrayIcon() override {}
    void setTrayTips(const valbrix::LocalizedText&) override {}
    void setTrayTip(const std::string&) override {}
    void keysNotTyped(const valbrix::UntypedKeys&) override {}

private:
    std::string deviceLine;
};

}  // namespace

int main(int argc, char** argv) {
    int portNumber = 0;
    int seconds = 0;
    int device = valbrix::modelGroup1Device;
    valbrix::ExportChoices choices{"Enter", 1, ".", "2,7 \xB5m/mil/Tesla", "TAB,DOWN"};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) {
            usage();
            return arg == "--help" ? 0 : 2;
        }
        const std::string value = argv[++i];
        if (arg == "--port") portNumber = std::atoi(value.c_str());
        else if (arg == "--seconds") seconds = std::atoi(value.c_str());
        else if (arg == "--device") device = std::atoi(value.c_str());
        else if (arg == "--sequence") choices.sequence = value;
        else if (arg == "--separator") choices.separatorText = value;
        else if (arg == "--control") {
            choices.controlText = value;
            choices.controlIndex = value == "-none-" ? 0 : 1;
        } else if (arg == "--units") {
            choices.unitDisplayText = value == "none" ? "2,7" : value == "u" ? "2,7 um/mil/Tesla" : "2,7 \xB5m/mil/Tesla";
        } else {
            usage();
            return 2;
        }
    }
    if (portNumber < 1 || portNumber > valbrix::highestPortNumber) {
        usage();
        return 2;
    }
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);

    ConsoleShell shell;
    PrintingKeySink keys;
    valbrix::ShellFlags flags;
    flags.inTray = true;
    flags.device = device;
    valbrix::ChoicesSnapshot snapshot;
    snapshot.set(choices);

    auto gauge = std::make_unique<valbrix::cVarniTiny>(
        static_cast<std::int16_t>(portNumber), [&shell](valbrix::cVarniTiny& g) { valbrix::onIdentified(g, shell); }, 1);
    if (!gauge->Port().IsConfigured()) {
        std::fprintf(stderr, "valbrix-road: COM%d cannot be opened\n", portNumber);
        return 1;
    }
    gauge->RaiseDtrAndRts();
    gauge->SetDeviceModel(device);
    std::printf("valbrix-road: listening on COM%d\n", portNumber);
    std::fflush(stdout);

    valbrix::OpenDesk desk;
    valbrix::ExportLoop loop(*gauge, shell, keys, desk, flags, snapshot, false);
    loop.start();
    valbrix::Clock& clock = valbrix::systemClock();
    const std::uint32_t start = clock.nowMs();
    while (!stopRequested.load() && (seconds == 0 || valbrix::elapsedMs(start, clock.nowMs()) < seconds * 1000u))
        clock.sleepMs(50);
    loop.stop();
    return 0;
}
