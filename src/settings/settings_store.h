#pragma once
// Where the settings file is read and written. On Windows the system's own profile calls read it, so
// the file reads exactly as every other Windows program expects; elsewhere a file store with the same
// rules stands in. Both write the same way: the whole file at once, so that a power cut during a save
// leaves the old file or the new one, never half of either.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace valbrix {

// How a write ended. Refused: the file or its folder will not take it (no right to write, a read-only
// medium, the folder gone), asked again a little later too. Failed: anything else (a full disk, an
// error of the medium), which another time may well get through.
enum class WriteOutcome { Written, Refused, Failed };

using KeyValues = std::vector<std::pair<std::string, std::string>>;

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The value of key in section of file; defaultValue when the file, the section or the key is missing.
    // At most maxLength characters of it.
    virtual std::string get(const std::string& file, const std::string& section, const std::string& key,
                            const std::string& defaultValue, std::size_t maxLength) = 0;
    // Replaces each key's value, or appends the key (and the section when missing), in this order,
    // keeping every other line as it is, and puts the result in place of the file in one step. Creates
    // the file, not its folder.
    virtual WriteOutcome putAll(const std::string& file, const std::string& section, const KeyValues& values) = 0;
};

SettingsStore& systemSettingsStore();

}  // namespace valbrix
