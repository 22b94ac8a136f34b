// A settings file of any content: loading it never fails, and what is saved from it reads back as the
// same choices.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "settings/ini_text.h"
#include "settings/settings.h"
#include "settings/settings_store.h"

namespace {

// The one file's text in memory, read and rewritten by the file store's rules. On disk the run would
// be spent on system calls, and reading and replacing real files is tested on real files elsewhere.
class TextStore final : public valbrix::SettingsStore {
public:
    explicit TextStore(std::string text) : text(std::move(text)) {}

    std::string get(const std::string&, const std::string& section, const std::string& key,
                    const std::string& defaultValue, std::size_t maxLength) override {
        const std::optional<std::string> value = valbrix::iniValue(text, section, key);
        return (value ? *value : defaultValue).substr(0, maxLength);
    }
    valbrix::WriteOutcome putAll(const std::string&, const std::string& section,
                                 const valbrix::KeyValues& values) override {
        for (const auto& [key, value] : values) text = valbrix::iniWithValue(text, section, key, value);
        return valbrix::WriteOutcome::Written;
    }

private:
    std::string text;
};

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

// The file drops blanks and a pair of matching quotes around a value, as the Windows profile calls do.
// A value that has them at its ends once read (quotes within quotes, or a read limit that cut it just
// after a blank) loses them on the way back; what lies between them must come back unchanged.
std::string_view inner(std::string_view text) {
    const auto blank = [](char c) { return std::string_view(" \t\r\v\f").find(c) != std::string_view::npos; };
    for (;;) {
        while (!text.empty() && blank(text.front())) text.remove_prefix(1);
        while (!text.empty() && blank(text.back())) text.remove_suffix(1);
        if (text.size() < 2 || (text.front() != '"' && text.front() != '\'') || text.back() != text.front())
            return text;
        text = text.substr(1, text.size() - 2);
    }
}

bool sameChoices(const Read& a, const Read& b) {
    const valbrix::Settings& x = a.settings;
    const valbrix::Settings& y = b.settings;
    return x.comPort == y.comPort && x.language == y.language && x.keyboardLayout == y.keyboardLayout &&
           x.device == y.device && x.transferActive == y.transferActive && x.askForClose == y.askForClose &&
           x.maxCom == y.maxCom && x.keyDelayMs == y.keyDelayMs && x.displayUsbPorts == y.displayUsbPorts &&
           x.displayPortChanged == y.displayPortChanged && x.autoMinimize == y.autoMinimize &&
           inner(a.choices.controlCharacter) == inner(b.choices.controlCharacter) &&
           inner(a.choices.decimalSeparator) == inner(b.choices.decimalSeparator) &&
           inner(a.choices.valueFormat) == inner(b.choices.valueFormat) &&
           inner(a.choices.sequence) == inner(b.choices.sequence);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const valbrix::SettingsLocations where{"/valbrix/", ""};
    TextStore store(std::string(reinterpret_cast<const char*>(data), size));
    Read first = load(where, store);
    if (!valbrix::saveSettings(first.settings, first.choices, where, store)) std::abort();
    const Read again = load(where, store);
    if (!sameChoices(first, again)) {
        std::fprintf(stderr, "read back differently\n");
        std::abort();
    }
    return 0;
}
