// The port list of the shell: the scan at start-up, the rescan when the list gets the focus, and moving
// the gauge to the port the user picks.
#include <optional>
#include <string>
#include <vector>

#include "app/list_operations.h"
#include "app/port_list.h"
#include "app/shell.h"
#include "serial/com.h"

namespace valbrix {
namespace {

// The start-up scan looks at these whatever MaxCom says.
constexpr int startUpScanPorts = 31;

}  // namespace

void Shell::startUpPortScan() {
    cCOM scanner(ports, clock);
    std::vector<FoundPort> found;
    for (int n = 1; n <= startUpScanPorts; ++n) {
        int providerValue = 0;
        const bool available = scanner.Probe(n, providerValue);
        if (const std::optional<FoundPort> port = scanPort(n, available, providerValue)) found.push_back(*port);
    }
    const PortList list =
        portListText(found, settings.comPort, settings.displayUsbPorts, PortScan::StartUp, settings.language);
    fillList(host, PortListControl, list.text, '|', "", list.selected);
}

void Shell::portListCommand(int notification) {
    if (notification == ListGotFocus) rescanPorts();
    const int number = portFromListText(host.selectedText(PortListControl));
    if (number < 0 || number == settings.comPort) return;
    std::vector<ErrorBoxText> setUpErrors;
    {
        HeldErrorBoxes held;
        settings.comPort = gauge->ChangePort(number);
        setUpErrors = held.take();
    }
    gauge->RaiseDtrAndRts();
    showSystemErrors(setUpErrors);
    if (settings.comPort == number) askForIdentification();
    else notePortAccess(number);
}

// The rescan probes on the gauge object's own port object, which counts its open port as available.
// Its status texts are German in both languages.
void Shell::rescanPorts() {
    std::vector<FoundPort> found;
    for (int n = 1; n < settings.maxCom; ++n) {
        showStatus("COM" + std::to_string(n) + " wird gepr\xFC" "ft");
        host.repaint();
        int providerValue = 0;
        const bool available = gauge->ProbePort(n, providerValue);
        const std::optional<FoundPort> port = scanPort(n, available, providerValue);
        if (!port) continue;
        found.push_back(*port);
        if (port->denied) continue;
        showStatus("COM" + std::to_string(n) + " (" + std::to_string(port->providerValue) + ") verf\xFC" "gbar");
        host.repaint();
    }
    showStatus(std::to_string(found.size()) + " Schnittstellen gefunden");
    host.repaint();
    const PortList list =
        portListText(found, settings.comPort, settings.displayUsbPorts, PortScan::Rescan, settings.language);
    fillList(host, PortListControl, list.text, '|', "", list.selected);
}

// A port the user may not open is listed all the same, marked, so that choosing it can say why.
std::optional<FoundPort> Shell::scanPort(int number, bool available, int providerValue) {
    if (available) return FoundPort{number, providerValue};
    if (!ports.deniedGroup(number).empty()) return FoundPort{number, 0, true};
    return std::nullopt;
}

}  // namespace valbrix
