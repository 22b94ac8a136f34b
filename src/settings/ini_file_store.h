#pragma once
// The settings store as a plain file with the rules of the Windows profile calls, for the systems that
// have none and for reading such a file anywhere.

#include "settings/settings_store.h"

namespace valbrix {

class IniFileStore final : public SettingsStore {
public:
    std::string get(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& defaultValue, std::size_t maxLength) override;
    bool put(const std::string& file, const std::string& section, const std::string& key,
             const std::string& value) override;
};

}  // namespace valbrix
