#include "common/user_folder.h"

#include <windows.h>

namespace valbrix {

std::string userConfigFolder() {
    // The process environment itself rather than the C runtime's copy of it taken at startup.
    const DWORD size = GetEnvironmentVariableA("LOCALAPPDATA", nullptr, 0);
    if (size == 0) return {};
    std::string base(size, '\0');
    const DWORD length = GetEnvironmentVariableA("LOCALAPPDATA", base.data(), size);
    if (length == 0 || length >= size) return {};
    base.resize(length);
    return base + "\\Oden_Malvert\\Valbrix";
}

}  // namespace valbrix
