#include "serial/port_paths.h"

#include <sys/stat.h>

#include "common/user_folder.h"
#include "serial/com.h"

namespace valbrix {

std::string devicePathForPort(int portNumber) {
    if (portNumber < 1 || portNumber > highestPortNumber) return {};
    const std::string mapped = userConfigFolder() + "/ports/COM" + std::to_string(portNumber);
    struct stat info;
    if (lstat(mapped.c_str(), &info) == 0) return mapped;

    struct Range {
        int first;
        int last;
        const char* device;
        int firstIndex;
    };
    static constexpr Range table[] = {
        {1, 4, "/dev/ttyS", 0},
        {5, 20, "/dev/ttyUSB", 0},
        {21, 31, "/dev/ttyACM", 0},
        {32, highestPortNumber, "/dev/ttyS", 4},
    };
    for (const Range& range : table) {
        if (portNumber >= range.first && portNumber <= range.last)
            return range.device + std::to_string(range.firstIndex + portNumber - range.first);
    }
    return {};
}

}  // namespace valbrix
