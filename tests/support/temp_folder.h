#pragma once
// A folder of the test's own under the system's temporary folder, removed with everything in it, and
// whole-file helpers for what the tests put there and find there.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "settings/settings_paths.h"

namespace valbrix::testing {

class TempFolder {
public:
    TempFolder() {
        std::random_device random;
        do {
            root = std::filesystem::temp_directory_path() / ("valbrix-test-" + std::to_string(random()));
        } while (!std::filesystem::create_directory(root));
    }
    // Folders a test made read-only are opened up again first, or nothing in them could be removed.
    ~TempFolder() {
        std::error_code ignored;
        const auto openUp = std::filesystem::perms::owner_all;
        std::filesystem::permissions(root, openUp, std::filesystem::perm_options::add, ignored);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root, ignored))
            if (entry.is_directory(ignored))
                std::filesystem::permissions(entry.path(), openUp, std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(root, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // A path inside, with the program's separator; end name with one for a folder.
    std::string path(const std::string& name = {}) const { return root.string() + pathSeparator + name; }

    std::filesystem::path root;
};

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace valbrix::testing
