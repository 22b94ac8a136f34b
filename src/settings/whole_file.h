#pragma once
// A settings file read whole, and replaced so that a crash never leaves half of one.

#include <cstddef>
#include <string>

namespace valbrix {

// No settings file comes near this; a larger file is not read beyond it and never rewritten.
inline constexpr std::size_t wholeFileLimit = 16 * 1024 * 1024;

enum class FileState { Read, Missing, Unreadable, TooLarge };

struct FileBytes {
    FileState state = FileState::Missing;
    std::string bytes;  // TooLarge: the first wholeFileLimit bytes
};

FileBytes readWholeFile(const std::string& path);

// Writes bytes to a temporary file beside path and renames it over path. A folder that takes no new
// file while path itself may be written gets path rewritten in place instead. False when path is there
// but may not be written, or when neither way works.
bool replaceWholeFile(const std::string& path, const std::string& bytes);

}  // namespace valbrix
