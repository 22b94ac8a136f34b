#pragma once
// The port list of the main dialog as one text, items separated by '|': "COM1|COM3 (USB)|COM7 (4)".
// A port keeps its number everywhere; only the suffix tells a USB adapter (provider value 51).

#include <cstddef>
#include <string>
#include <vector>

namespace valbrix {

struct FoundPort {
    int number;
    int providerValue;  // 0 for the port the gauge holds open: it is not probed
    bool denied = false;  // the device is there, but this user may not open it
};

enum class PortScan { StartUp, Rescan };

// The start-up list holds at most 255 characters, a rescan's at most 199.
std::size_t portListLimit(PortScan scan);

struct PortList {
    std::string text;
    int selected = 0;  // listed ports below comPort: the port in use is selected when it was found
    int listed = 0;
};

// An item that would not fit the list's size is left out, so the list never runs over. A denied port
// carries a mark in the interface language.
PortList portListText(const std::vector<FoundPort>& found, int comPort, bool displayUsbPorts, PortScan scan,
                      int language);

// The port number of an item: one or two digits right after "COM" ("COM123" reads 12); -1 when the
// item names no port.
int portFromListText(const std::string& item);

}  // namespace valbrix
