#include <windows.h>

#include "settings/settings.h"
#include "settings/settings_paths.h"
#include "common/user_folder.h"

namespace valbrix {

SettingsLocations systemSettingsLocations() {
    char executable[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, executable, MAX_PATH);
    const std::string folder = userConfigFolder();
    return {directoryOf(std::string(executable, length)), folder.empty() ? std::string() : folder + pathSeparator};
}

}  // namespace valbrix
