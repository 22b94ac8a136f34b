#include "settings/ini_file_store.h"

#include "settings/ini_text.h"
#include "settings/whole_file.h"

namespace valbrix {

std::string IniFileStore::get(const std::string& file, const std::string& section, const std::string& key,
                              const std::string& defaultValue, std::size_t maxLength) {
    const FileBytes contents = readWholeFile(file);
    const std::optional<std::string> value = iniValue(contents.bytes, section, key);
    return (value ? *value : defaultValue).substr(0, maxLength);
}

bool IniFileStore::put(const std::string& file, const std::string& section, const std::string& key,
                       const std::string& value) {
    const FileBytes contents = readWholeFile(file);
    // Rewriting a file that was not read whole would lose the rest of it.
    if (contents.state != FileState::Read && contents.state != FileState::Missing) return false;
    return replaceWholeFile(file, iniWithValue(contents.bytes, section, key, value));
}

}  // namespace valbrix
