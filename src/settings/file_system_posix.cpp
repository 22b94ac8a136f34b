#include "settings/file_system.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace valbrix {
namespace {

bool isFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

bool fileExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool createFolders(const std::string& path) {
    // Every step may fail for its own good reason (it is there, it is the root); only the end counts.
    for (std::size_t end = 1; end <= path.size(); ++end) {
        if (end == path.size() || path[end] == '/') mkdir(path.substr(0, end).c_str(), 0777);
    }
    return isFolder(path);
}

bool replaceFile(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }

bool flushToDisk(std::FILE* file) { return fsync(fileno(file)) == 0; }

bool cutFile(std::FILE* file, std::size_t size) { return ftruncate(fileno(file), static_cast<off_t>(size)) == 0; }

bool lastFailureWasRefusal() {
    return errno == EACCES || errno == EPERM || errno == EROFS || errno == ENOENT || errno == ENOTDIR;
}

void failWritesBeyondFileSizeLimit() { std::signal(SIGXFSZ, SIG_IGN); }

}  // namespace valbrix
