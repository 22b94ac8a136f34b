#pragma once
// Which serial devices are present, so that their arrival and removal can be announced. On Linux a
// USB adapter appears and disappears as /dev/ttyUSBn or /dev/ttyACMn; a port mapped in the per-user
// ports/ folder counts by its COMn entry.

#include <set>
#include <string>

namespace valbrix {

// The names of the serial devices in devFolder (ttyUSB*, ttyACM*) and the entries of portsFolder
// whose target exists. Folders that cannot be read count as empty.
std::set<std::string> serialDevicesPresent(const std::string& devFolder, const std::string& portsFolder);

struct PortChanges {
    int arrived = 0;
    int removed = 0;
};

PortChanges comparePortSets(const std::set<std::string>& before, const std::set<std::string>& after);

}  // namespace valbrix
