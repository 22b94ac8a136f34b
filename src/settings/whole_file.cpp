#include "settings/whole_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "settings/file_system.h"

namespace valbrix {
namespace {

bool isMissing(int error) { return error == ENOENT || error == ENOTDIR; }

WriteOutcome failure() { return lastFailureWasRefusal() ? WriteOutcome::Refused : WriteOutcome::Failed; }

bool writeAll(std::FILE* file, const std::string& bytes) {
    return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

bool pushToDisk(std::FILE* file) { return std::fflush(file) == 0 && flushToDisk(file); }

WriteOutcome closed(std::FILE* file, WriteOutcome outcome) {
    return std::fclose(file) == 0 ? outcome : WriteOutcome::Failed;
}

WriteOutcome writeNewFile(std::FILE* file, const std::string& bytes) {
    return closed(file, writeAll(file, bytes) && pushToDisk(file) ? WriteOutcome::Written : failure());
}

// The file grows to its new length first, with blanks that read as an empty line: a disk that is full
// then fails the write before a byte of the old text is touched. Only once the new text is on the disk
// is the rest of a longer old one cut off.
WriteOutcome rewriteInPlace(std::FILE* file, const std::string& bytes) {
    // Unbuffered: nothing left over in a buffer may reach the file after it was cut back.
    std::setvbuf(file, nullptr, _IONBF, 0);
    if (std::fseek(file, 0, SEEK_END) != 0) return closed(file, failure());
    const long end = std::ftell(file);
    if (end < 0) return closed(file, failure());
    const std::size_t oldSize = static_cast<std::size_t>(end);
    if (bytes.size() > oldSize && !(writeAll(file, std::string(bytes.size() - oldSize, ' ')) && pushToDisk(file))) {
        const WriteOutcome outcome = failure();
        // What did fit of the blanks goes again.
        cutFile(file, oldSize);
        return closed(file, outcome);
    }
    bool written = std::fseek(file, 0, SEEK_SET) == 0 && writeAll(file, bytes) && pushToDisk(file);
    written = written && (bytes.size() >= oldSize || (cutFile(file, bytes.size()) && flushToDisk(file)));
    return closed(file, written ? WriteOutcome::Written : failure());
}

}  // namespace

FileBytes readWholeFile(const std::string& path) {
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return {isMissing(errno) ? FileState::Missing : FileState::Unreadable, {}};
    FileBytes result{FileState::Read, {}};
    char chunk[64 * 1024];
    while (result.bytes.size() < wholeFileLimit) {
        const std::size_t wanted = std::min(sizeof chunk, wholeFileLimit - result.bytes.size());
        const std::size_t got = std::fread(chunk, 1, wanted, file);
        result.bytes.append(chunk, got);
        if (got < wanted) break;
    }
    if (std::ferror(file)) result = {FileState::Unreadable, {}};
    else if (result.bytes.size() == wholeFileLimit && std::fgetc(file) != EOF) result.state = FileState::TooLarge;
    std::fclose(file);
    return result;
}

WriteOutcome replaceWholeFile(const std::string& path, const std::string& bytes) {
    errno = 0;
    std::FILE* existing = std::fopen(path.c_str(), "r+b");
    if (existing == nullptr && !isMissing(errno)) return failure();

    const std::string temporary = path + ".tmp";
    std::FILE* fresh = std::fopen(temporary.c_str(), "wb");
    if (fresh == nullptr) {
        if (existing == nullptr) return failure();
        return rewriteInPlace(existing, bytes);
    }
    if (existing != nullptr) std::fclose(existing);
    WriteOutcome outcome = writeNewFile(fresh, bytes);
    if (outcome == WriteOutcome::Written && !replaceFile(temporary, path)) outcome = failure();
    if (outcome != WriteOutcome::Written) std::remove(temporary.c_str());
    return outcome;
}

}  // namespace valbrix
