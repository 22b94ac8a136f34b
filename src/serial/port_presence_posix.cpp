#include "serial/port_presence.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace valbrix {
namespace {

bool isHotPluggedSerial(const char* name) {
    return std::strncmp(name, "ttyUSB", 6) == 0 || std::strncmp(name, "ttyACM", 6) == 0;
}

template <typename Keep>
void addEntries(std::set<std::string>& names, const std::string& folder, Keep keep) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir) return;
    while (const dirent* entry = readdir(dir.get())) {
        if (keep(entry->d_name)) names.insert(folder + "/" + entry->d_name);
    }
}

}  // namespace

std::set<std::string> serialDevicesPresent(const std::string& devFolder, const std::string& portsFolder) {
    std::set<std::string> names;
    addEntries(names, devFolder, isHotPluggedSerial);
    addEntries(names, portsFolder, [&portsFolder](const char* name) {
        struct stat target;
        // stat follows the link: a link to a device that is gone does not count.
        return std::strncmp(name, "COM", 3) == 0 && stat((portsFolder + "/" + name).c_str(), &target) == 0;
    });
    return names;
}

PortChanges comparePortSets(const std::set<std::string>& before, const std::set<std::string>& after) {
    PortChanges changes;
    changes.arrived = static_cast<int>(std::count_if(after.begin(), after.end(),
                                                     [&before](const std::string& n) { return !before.count(n); }));
    changes.removed = static_cast<int>(std::count_if(before.begin(), before.end(),
                                                     [&after](const std::string& n) { return !after.count(n); }));
    return changes;
}

}  // namespace valbrix
