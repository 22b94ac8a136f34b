// A settings file of any content: loading it never fails, and what is saved from it reads back as the
// same choices.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "settings/ini_file_store.h"
#include "settings/settings.h"

namespace {

struct Read {
    valbrix::Settings settings;
    valbrix::SavedChoices choices;
};

Read load(const valbrix::SettingsLocations& where, valbrix::SettingsStore& store) {
    Read read;
    valbrix::loadSettings(read.settings, where, store);
    read.choices.controlCharacter = readListKey(read.settings, store, valbrix::ListKey::ControlCharacter);
    read.choices.decimalSeparator = readListKey(read.settings, store, valbrix::ListKey::DecimalSeparator);
    read.choices.valueFormat = readListKey(read.settings, store, valbrix::ListKey::ValueFormat);
    read.choices.sequence = read.settings.sequence;
    return read;
}

bool sameChoices(const Read& a, const Read& b) {
    const valbrix::Settings& x = a.settings;
    const valbrix::Settings& y = b.settings;
    return x.comPort == y.comPort && x.language == y.language && x.keyboardLayout == y.keyboardLayout &&
           x.device == y.device && x.transferActive == y.transferActive && x.askForClose == y.askForClose &&
           x.maxCom == y.maxCom && x.keyDelayMs == y.keyDelayMs && x.displayUsbPorts == y.displayUsbPorts &&
           x.displayPortChanged == y.displayPortChanged && x.autoMinimize == y.autoMinimize &&
           a.choices.controlCharacter == b.choices.controlCharacter &&
           a.choices.decimalSeparator == b.choices.decimalSeparator &&
           a.choices.valueFormat == b.choices.valueFormat && a.choices.sequence == b.choices.sequence;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string folder = [] {
        // In memory where the system has such a folder: every save replaces the file a dozen times.
        char pattern[] = "/dev/shm/valbrix-settings-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (made == nullptr) std::abort();
        return std::string(made) + "/";
    }();
    const valbrix::SettingsLocations where{folder, ""};
    const std::string file = folder + "Valbrix.ini";
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                  static_cast<std::streamsize>(size));
    valbrix::IniFileStore store;
    Read first = load(where, store);
    if (!valbrix::saveSettings(first.settings, first.choices, where, store)) std::abort();
    const Read again = load(where, store);
    if (!sameChoices(first, again)) {
        std::fprintf(stderr, "read back differently\n");
        std::abort();
    }
    return 0;
}
