#include "settings/settings_paths.h"

#include <algorithm>

namespace valbrix {

std::string directoryOf(const std::string& path) {
    const std::size_t last = path.rfind(pathSeparator);
    if (last == std::string::npos) return {};
    return path.substr(0, std::min(last + 1, maxPathLength));
}

std::string absolutePath(const std::string& name, const std::string& programDirectory) {
    const std::string path = directoryOf(name).empty() ? programDirectory + name : name;
    return path.substr(0, maxPathLength);
}

}  // namespace valbrix
