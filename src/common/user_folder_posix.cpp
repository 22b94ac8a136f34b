#include "common/user_folder.h"

#include <cstdlib>

namespace valbrix {

std::string userConfigFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (xdg != nullptr && xdg[0] != '\0') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home != nullptr ? home : "") + "/.config";
    }
    return base + "/Oden_Malvert/Valbrix";
}

}  // namespace valbrix
