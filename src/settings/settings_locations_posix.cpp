#include <unistd.h>

#include "settings/settings.h"
#include "settings/settings_paths.h"
#include "common/user_folder.h"

namespace valbrix {

SettingsLocations systemSettingsLocations() {
    char executable[4096];
    const ssize_t length = readlink("/proc/self/exe", executable, sizeof executable);
    const std::string path = length > 0 ? std::string(executable, static_cast<std::size_t>(length)) : std::string();
    return {directoryOf(path), userConfigFolder() + pathSeparator};
}

}  // namespace valbrix
