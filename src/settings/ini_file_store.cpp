#include "settings/ini_file_store.h"

#include <chrono>
#include <thread>

#include "settings/ini_text.h"
#include "settings/whole_file.h"

namespace valbrix {
namespace {

constexpr int refusalAttempts = 3;
constexpr std::chrono::milliseconds refusalPauseMs{100};

}  // namespace

WriteOutcome putIniValues(const std::string& file, const std::string& section, const KeyValues& values) {
    for (int attempt = 1;; ++attempt) {
        const FileBytes contents = readWholeFile(file);
        // Rewriting a file that was not read whole would lose the rest of it.
        if (contents.state == FileState::TooLarge) return WriteOutcome::Failed;
        if (contents.state == FileState::Unreadable) return WriteOutcome::Refused;
        std::string text = contents.bytes;
        for (const auto& [key, value] : values) text = iniWithValue(text, section, key, value);
        const WriteOutcome outcome = replaceWholeFile(file, text);
        if (outcome != WriteOutcome::Refused || attempt == refusalAttempts) return outcome;
        std::this_thread::sleep_for(refusalPauseMs);
    }
}

std::string IniFileStore::get(const std::string& file, const std::string& section, const std::string& key,
                              const std::string& defaultValue, std::size_t maxLength) {
    const FileBytes contents = readWholeFile(file);
    const std::optional<std::string> value = iniValue(contents.bytes, section, key);
    return (value ? *value : defaultValue).substr(0, maxLength);
}

}  // namespace valbrix
