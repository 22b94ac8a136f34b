// The Windows profile calls read the file, so it reads as every Windows program expects. They write it
// key by key, each time rewriting the file where it lies; a save goes through the whole-file writer
// instead, with the same rules.
#include <windows.h>

#include <vector>

#include "settings/ini_file_store.h"

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
    WriteOutcome putAll(const std::string& file, const std::string& section, const KeyValues& values) override {
        return putIniValues(file, section, values);
    }
};

}  // namespace

SettingsStore& systemSettingsStore() {
    static PrivateProfileStore store;
    return store;
}

}  // namespace valbrix
