#include "settings/file_system.h"

#include <io.h>
#include <windows.h>

namespace valbrix {
namespace {

bool isFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

bool fileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool createFolders(const std::string& path) {
    // Every step may fail for its own good reason (it is there, it is a drive or a share); only the end
    // counts.
    for (std::size_t end = 1; end <= path.size(); ++end) {
        if (end == path.size() || path[end] == '\\' || path[end] == '/')
            CreateDirectoryA(path.substr(0, end).c_str(), nullptr);
    }
    return isFolder(path);
}

bool replaceFile(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool flushToDisk(std::FILE* file) { return _commit(_fileno(file)) == 0; }

bool cutFile(std::FILE* file, std::size_t size) {
    return _chsize_s(_fileno(file), static_cast<long long>(size)) == 0;
}

bool lastFailureWasRefusal() {
    switch (GetLastError()) {
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return true;
    default:
        return false;
    }
}

void failWritesBeyondFileSizeLimit() {}

}  // namespace valbrix
