// The Windows profile calls themselves, so the settings file behaves as every Windows program expects.
#include <windows.h>

#include <vector>

#include "settings/settings_store.h"

namespace valbrix {
namespace {

class PrivateProfileStore final : public SettingsStore {
public:
    std::string get(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& defaultValue, std::size_t maxLength) override {
        std::vector<char> buffer(maxLength + 1);
        GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(),
                                 static_cast<DWORD>(buffer.size()), file.c_str());
        return buffer.data();
    }
    bool put(const std::string& file, const std::string& section, const std::string& key,
             const std::string& value) override {
        return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE;
    }
};

}  // namespace

SettingsStore& systemSettingsStore() {
    static PrivateProfileStore store;
    return store;
}

}  // namespace valbrix
