#pragma once
// The settings store as a plain file with the rules of the Windows profile calls, for the systems that
// have none and for reading such a file anywhere.

#include "settings/settings_store.h"

namespace valbrix {

// The file with values put in by the profile rules, written whole through replaceWholeFile. A refusal
// is asked again a few times: a virus scanner or a backup holding the file lets go within moments.
WriteOutcome putIniValues(const std::string& file, const std::string& section, const KeyValues& values);

class IniFileStore final : public SettingsStore {
public:
    std::string get(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& defaultValue, std::size_t maxLength) override;
    WriteOutcome putAll(const std::string& file, const std::string& section, const KeyValues& values) override {
        return putIniValues(file, section, values);
    }
};

}  // namespace valbrix
