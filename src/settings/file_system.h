#pragma once
// The few file operations the settings need from the system itself. A path is taken as the 8-bit
// bytes it is: POSIX does so, and on Windows the ANSI calls do (std::filesystem would read it as UTF-8).

#include <cstddef>
#include <cstdio>
#include <string>

namespace valbrix {

// A regular file is there.
bool fileExists(const std::string& path);
// Creates the folder and its parents as needed; true when the folder is there afterwards.
bool createFolders(const std::string& path);
// Renames from onto to in one step, replacing a file there.
bool replaceFile(const std::string& from, const std::string& to);
// Pushes what was written to file through to the disk.
bool flushToDisk(std::FILE* file);
// Cuts file to size bytes.
bool cutFile(std::FILE* file, std::size_t size);
// The file operation that failed last was refused (no right to write, a read-only medium, the folder
// gone) rather than failing on the way (a full disk, an error of the medium).
bool lastFailureWasRefusal();
// A write beyond the process's file-size limit then fails like one on a full disk, instead of ending
// the program (SIGXFSZ on POSIX); nothing to do on Windows.
void failWritesBeyondFileSizeLimit();

}  // namespace valbrix
