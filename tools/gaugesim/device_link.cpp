#include "gaugesim/device_link.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "gaugesim/errors.h"

namespace gaugesim {

namespace fs = std::filesystem;

bool linkTo(const std::string& linkPath, const std::string& target) {
    const fs::path link(linkPath);
    std::error_code error;
    if (link.has_parent_path()) {
        fs::create_directories(link.parent_path(), error);
        if (error) {
            reportError("cannot create " + link.parent_path().string() + ": " + error.message());
            return false;
        }
    }
    const fs::file_status existing = fs::symlink_status(link, error);
    if (fs::exists(existing) && !fs::is_symlink(existing)) {
        reportError("will not replace " + linkPath + ": it is not a symbolic link");
        return false;
    }
    // Made aside and renamed over the old link, so a host that opens the path never finds it missing.
    const fs::path aside(linkPath + ".gaugesim-" + std::to_string(::getpid()));
    fs::remove(aside, error);
    fs::create_symlink(target, aside, error);
    if (!error) fs::rename(aside, link, error);
    if (error) {
        reportError("cannot link " + linkPath + " to " + target + ": " + error.message());
        fs::remove(aside, error);
        return false;
    }
    return true;
}

void removeLinkTo(const std::string& linkPath, const std::string& target) {
    std::error_code error;
    if (fs::read_symlink(linkPath, error) == fs::path(target) && !error) fs::remove(linkPath, error);
}

}  // namespace gaugesim
