#pragma once
// A settings file read whole, and replaced so that a crash never leaves half of one.

#include <cstddef>
#include <string>

#include "settings/settings_store.h"

namespace valbrix {

// No settings file comes near this; a larger file is not read beyond it and never rewritten.
inline constexpr std::size_t wholeFileLimit = 16 * 1024 * 1024;

enum class FileState { Read, Missing, Unreadable, TooLarge };

struct FileBytes {
    FileState state = FileState::Missing;
    std::string bytes;  // TooLarge: the first wholeFileLimit bytes
};

FileBytes readWholeFile(const std::string& path);

// Writes bytes to a temporary file beside path, pushes them to the disk and renames the file over path,
// so that path holds the old bytes until the new ones are safe. A folder that takes no new file while
// path itself may be written gets path rewritten in place instead, which never cuts the file before the
// new bytes are on the disk.
WriteOutcome replaceWholeFile(const std::string& path, const std::string& bytes);

}  // namespace valbrix
