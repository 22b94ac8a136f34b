#include <cstdio>

#include "app/journal_files.h"
#include "settings/file_system.h"
#include "settings/settings_paths.h"

namespace valbrix {
namespace {

class SystemJournalFiles final : public JournalFiles {
public:
    bool isEmpty(const std::string& path) override {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (file == nullptr) return true;
        const bool empty = std::fgetc(file) == EOF;
        std::fclose(file);
        return empty;
    }

    // Opened and closed for every line: nothing stays buffered between readings, and a file the user
    // has open in a spreadsheet or has moved away is not held.
    bool append(const std::string& path, const std::string& bytes) override {
        createFolders(directoryOf(path));
        std::FILE* file = std::fopen(path.c_str(), "ab");
        if (file == nullptr) return false;
        bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        written = std::fflush(file) == 0 && written;
        written = flushToDisk(file) && written;
        return std::fclose(file) == 0 && written;
    }
};

}  // namespace

JournalFiles& systemJournalFiles() {
    static SystemJournalFiles files;
    return files;
}

}  // namespace valbrix
