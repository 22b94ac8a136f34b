#include "settings/settings.h"

#include <algorithm>
#include <cstddef>
#include <optional>

#include "settings/file_system.h"
#include "settings/settings_paths.h"
#include "settings/whole_file.h"
#include "common/numbers.h"
#include "common/cp1252.h"
#include "common/text.h"
#include "gauge/catalogue.h"

namespace valbrix {
namespace {

constexpr const char* fileName = "Valbrix.ini";
constexpr const char* section = "Settings";
// The list keys are read back at most this long, so a longer choice is cut to it when written too and
// what was saved is what reads back.
constexpr std::size_t listTextLength = 989;
constexpr std::size_t savedSequenceLength = 9998;

// "COM3" reads 3 and "abc" 0: the number reader skips what is not part of a number.
int readNumber(const std::string& text) { return truncateToInt(readDecimal(text.c_str())); }

bool isOn(const std::string& text) { return text[0] == '1'; }

// A file saved as UTF-8 by a modern editor means the same characters ("\xC2\xB5" is the µ 0xB5).
std::string fromFileText(std::string text) {
    std::optional<std::string> converted = cp1252FromUtf8(text);
    return converted ? std::move(*converted) : std::move(text);
}

// A value whose Windows-1252 bytes happen to be well-formed UTF-8 ("\xC3\xA9", the UTF-8 of an e with
// an accent) would read back as other characters; it is written as the UTF-8 of its own characters,
// which reads back as itself. Every other value is written in Windows-1252.
std::string toFileText(const std::string& value) { return cp1252FromUtf8(value) ? utf8OfCp1252(value) : value; }

int lowBits(const std::string& text, unsigned mask) {
    return static_cast<int>(static_cast<unsigned char>(text[0]) & mask);
}

std::string upperCased(std::string text) {
    for (char& c : text) c = upperAscii(c);
    return text;
}

// The copy is a new file of its own, so it takes none of the original's read-only mode or attribute.
// With nothing to copy, the writes that follow start from an empty file.
void moveToPerUserFolder(Settings& settings, const SettingsLocations& where) {
    createFolders(where.perUserFolder);
    replaceWholeFile(settings.perUserPath, readWholeFile(settings.settingsPath).bytes);
    settings.settingsPath = settings.perUserPath;
}

}  // namespace

void loadSettings(Settings& settings, const SettingsLocations& where, SettingsStore& store) {
    settings.perUserPath = where.perUserFolder.empty() ? std::string() : absolutePath(fileName, where.perUserFolder);
    settings.settingsPath = !settings.perUserPath.empty() && fileExists(settings.perUserPath)
                                ? settings.perUserPath
                                : absolutePath(fileName, where.programDirectory);

    const auto get = [&](const char* key, const char* defaultValue, std::size_t maxLength) {
        return fromFileText(store.get(settings.settingsPath, section, key, defaultValue, maxLength));
    };
    settings.comPort = readNumber(get("ComPort", "1", 98));
    settings.sequence = upperCased(get("Sequence", "TAB,DOWN", 298));
    settings.autoMinimize = isOn(get("AutoMinimize", "0", 8));
    settings.transferActive = isOn(get("ActiveOnStartup", "1", 8));
    settings.askForClose = isOn(get("AskForClose", "0", 8));
    settings.displayUsbPorts = isOn(get("DisplayUSBPorts", "0", 8));
    settings.displayPortChanged = isOn(get("DisplayPortChanged", "0", 8));
    // '0' is German and every other digit English; an empty value counts as German.
    settings.language = std::min(lowBits(get("Language", "1", 8), 0x0F), 1);
    settings.keyboardLayout = lowBits(get("KeyboardLayout", "1", 8), 0x03);
    const int maxCom = readNumber(get("MaxCom", "30", 29));
    settings.maxCom = maxCom >= 5 && maxCom <= 99 ? maxCom : 30;
    const int keyDelay = readNumber(get("KeyDelay", "0", 29));
    settings.keyDelayMs = keyDelay >= 0 && keyDelay <= 100 ? keyDelay : 0;
    // A number like "KeyDelay", 0 or 1; anything else leaves the journal off, as the program writes no
    // file the user did not ask for.
    settings.journal = readNumber(get("Journal", "0", 29)) == 1;
    settings.device = deviceFromSetting(readNumber(get("Device", std::to_string(modelGroup1Device).c_str(), 98)));
}

std::string readListKey(const Settings& settings, SettingsStore& store, ListKey key) {
    struct ListEntry {
        const char* key;
        const char* defaultValue;
    };
    // In the order of ListKey.
    static constexpr ListEntry entries[] = {
        {"Separator", "Enter"}, {"DecimalSeparator", ","}, {"Format", "2,7 um/mil/Tesla"}};
    const ListEntry& entry = entries[static_cast<int>(key)];
    return fromFileText(store.get(settings.settingsPath, section, entry.key, entry.defaultValue, listTextLength));
}

bool saveSettings(Settings& settings, const SavedChoices& choices, const SettingsLocations& where,
                  SettingsStore& store) {
    KeyValues values = {
        {"Separator", choices.controlCharacter.substr(0, listTextLength)},
        {"DecimalSeparator", choices.decimalSeparator.substr(0, listTextLength)},
        {"Format", choices.valueFormat.substr(0, listTextLength)},
        {"ComPort", std::to_string(settings.comPort)},
        {"AskForClose", settings.askForClose ? "1" : "0"},
        {"ActiveOnStartup", settings.transferActive ? "1" : "0"},
        {"Language", std::to_string(settings.language)},
        {"Device", std::to_string(settings.device)},
        {"KeyboardLayout", std::to_string(settings.keyboardLayout)},
        {"Sequence", choices.sequence.substr(0, savedSequenceLength)},
    };
    for (auto& entry : values) entry.second = toFileText(entry.second);

    const WriteOutcome outcome = store.putAll(settings.settingsPath, section, values);
    // Only a program folder that keeps refusing the file sends it to the per-user folder; a full disk or
    // a file held for a moment must not move the settings away for good.
    if (outcome != WriteOutcome::Refused || settings.settingsPath == settings.perUserPath ||
        where.perUserFolder.empty())
        return outcome == WriteOutcome::Written;
    moveToPerUserFolder(settings, where);
    // The one time the program sets AutoMinimize itself; otherwise the key is the user's to put there.
    values.emplace_back("AutoMinimize", "1");
    return store.putAll(settings.settingsPath, section, values) == WriteOutcome::Written;
}

}  // namespace valbrix
