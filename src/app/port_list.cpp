#include "app/port_list.h"

#include "common/localized_text.h"

namespace valbrix {
namespace {

constexpr int usbProviderValue = 51;

std::string portItem(const FoundPort& port, bool displayUsbPorts, PortScan scan, int language) {
    std::string item = "COM" + std::to_string(port.number);
    if (port.denied) return item + text::portNoAccess.in(language);
    if (!displayUsbPorts) return item;
    if (port.providerValue == usbProviderValue) item += " (USB)";
    else if (scan == PortScan::StartUp && port.providerValue != 0) item += " (" + std::to_string(port.providerValue) + ")";
    return item;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::size_t portListLimit(PortScan scan) { return scan == PortScan::StartUp ? 255 : 199; }

PortList portListText(const std::vector<FoundPort>& found, int comPort, bool displayUsbPorts, PortScan scan,
                      int language) {
    PortList list;
    for (const FoundPort& port : found) {
        const std::string item = portItem(port, displayUsbPorts, scan, language);
        const std::size_t needed = item.size() + (list.text.empty() ? 0 : 1);
        if (list.text.size() + needed > portListLimit(scan)) continue;
        if (!list.text.empty()) list.text += '|';
        list.text += item;
        ++list.listed;
        if (port.number < comPort) ++list.selected;
    }
    return list;
}

int portFromListText(const std::string& item) {
    if (item.size() < 4 || !isDigit(item[3])) return -1;
    const int first = item[3] - '0';
    return item.size() > 4 && isDigit(item[4]) ? first * 10 + (item[4] - '0') : first;
}

}  // namespace valbrix
