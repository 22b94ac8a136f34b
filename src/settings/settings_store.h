#pragma once
// Where the settings file is read and written. On Windows the system's own profile calls do it, so the
// file behaves exactly as every other Windows program expects; elsewhere a file store with the same
// rules stands in.

#include <cstddef>
#include <string>

namespace valbrix {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The value of key in section of file; defaultValue when the file, the section or the key is missing.
    // At most maxLength characters of it.
    virtual std::string get(const std::string& file, const std::string& section, const std::string& key,
                            const std::string& defaultValue, std::size_t maxLength) = 0;
    // Replaces the key's value, or appends the key (and the section when missing), keeping every other line
    // as it is. Creates the file, not its folder. False when the file cannot be written.
    virtual bool put(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) = 0;
};

SettingsStore& systemSettingsStore();

}  // namespace valbrix
