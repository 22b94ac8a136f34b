#include "serial/port_access.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace valbrix {

std::string deniedGroupOf(const std::string& devicePath) {
    struct stat device;
    if (devicePath.empty() || stat(devicePath.c_str(), &device) != 0) return {};
    if (access(devicePath.c_str(), R_OK | W_OK) == 0 || errno != EACCES) return {};
    std::vector<char> buffer(16384);
    group entry;
    group* found = nullptr;
    if (getgrgid_r(device.st_gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr)
        return found->gr_name;
    return std::to_string(device.st_gid);
}

}  // namespace valbrix
