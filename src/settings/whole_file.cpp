#include "settings/whole_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "settings/file_system.h"

namespace valbrix {
namespace {

bool isMissing(int error) { return error == ENOENT || error == ENOTDIR; }

bool writeAndClose(std::FILE* file, const std::string& bytes) {
    bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = written && std::fflush(file) == 0 && flushToDisk(file);
    return std::fclose(file) == 0 && written;
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

bool replaceWholeFile(const std::string& path, const std::string& bytes) {
    errno = 0;
    std::FILE* existing = std::fopen(path.c_str(), "r+b");
    if (existing == nullptr && !isMissing(errno)) return false;
    const bool exists = existing != nullptr;
    if (exists) std::fclose(existing);

    const std::string temporary = path + ".tmp";
    std::FILE* fresh = std::fopen(temporary.c_str(), "wb");
    if (fresh == nullptr) {
        if (!exists) return false;
        std::FILE* inPlace = std::fopen(path.c_str(), "wb");
        return inPlace != nullptr && writeAndClose(inPlace, bytes);
    }
    if (writeAndClose(fresh, bytes) && replaceFile(temporary, path)) return true;
    std::remove(temporary.c_str());
    return false;
}

}  // namespace valbrix
