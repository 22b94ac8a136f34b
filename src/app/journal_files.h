#pragma once
// Where the journal's lines go: files appended to line by line. The real files are on the disk; a
// recording one lets the tests see every byte and refuse writes as a full disk would.

#include <string>

namespace valbrix {

class JournalFiles {
public:
    virtual ~JournalFiles() = default;
    // The file is missing or empty, so that it needs its heading first.
    virtual bool isEmpty(const std::string& path) = 0;
    // Appends the bytes to the file, creating it and its folder as needed, and pushes them to the disk
    // before returning; false when any of it failed.
    virtual bool append(const std::string& path, const std::string& bytes) = 0;
};

// The files of the system; one stateless instance for the whole program.
JournalFiles& systemJournalFiles();

}  // namespace valbrix
