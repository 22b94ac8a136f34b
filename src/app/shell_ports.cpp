// The port list of the shell: the scan at start-up, the rescan when the list gets the focus, and moving
// the gauge to the port the user picks. Opening a port may take seconds, so the ports are probed on a
// thread of their own: the window answers all the while, and the list is filled once the scan is done.
#include <algorithm>
#include <optional>
#include <string>
#include <utility>
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

// The gauge object opens the stored port while the scan runs, and on Windows a port opens only once at
// a time: the scan leaves that port out, and the gauge object tells at the end whether it holds it.
void Shell::startUpPortScan() {
    const int inUse = settings.comPort;
    startPortScan(PortScan::StartUp, [this, inUse](const std::atomic<bool>& cancelled) {
        cCOM scanner(ports, clock);
        std::vector<FoundPort> found;
        for (int n = 1; n <= startUpScanPorts && !cancelled.load(); ++n) {
            if (n == inUse) continue;
            int providerValue = 0;
            const bool available = scanner.Probe(n, providerValue);
            if (const std::optional<FoundPort> port = scanPort(n, available, providerValue)) found.push_back(*port);
        }
        return found;
    });
}

// While a scan runs, a probe may hold the very port the user picks, and a port opens only once at a
// time: the pick is taken when the scan is done. A focus meanwhile is answered by the scan under way,
// which began a moment ago; a second one would only make the user wait twice.
void Shell::portListCommand(int notification) {
    if (scanRunning) {
        followListAfterScan = true;
        if (notification != ListGotFocus) pickedDuringScan = portFromListText(host.selectedText(PortListControl));
        return;
    }
    if (notification == ListGotFocus) rescanPorts();
    else movePortTo(portFromListText(host.selectedText(PortListControl)));
}

void Shell::movePortTo(int number) {
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

// The rescan probes through the gauge object, which counts its open port as available. Its status
// texts are German in both languages.
void Shell::rescanPorts() {
    startPortScan(PortScan::Rescan, [this, &probing = *gauge, maxCom = settings.maxCom](
                                        const std::atomic<bool>& cancelled) {
        std::vector<FoundPort> found;
        for (int n = 1; n < maxCom && !cancelled.load(); ++n) {
            postScanReport([this, n] {
                showStatus("COM" + std::to_string(n) + " wird gepr\xFC" "ft");
                host.repaint();
            });
            int providerValue = 0;
            const bool available = probing.ProbePort(n, providerValue);
            const std::optional<FoundPort> port = scanPort(n, available, providerValue);
            if (!port) continue;
            found.push_back(*port);
            if (port->denied) continue;
            postScanReport([this, n, providerValue] {
                showStatus("COM" + std::to_string(n) + " (" + std::to_string(providerValue) + ") verf\xFC" "gbar");
                host.repaint();
            });
        }
        return found;
    });
}

void Shell::startPortScan(PortScan scan, PortProbe probe) {
    scanRunning = true;
    portScan.start([this, scan, probe = std::move(probe)](const std::atomic<bool>& cancelled) {
        std::vector<FoundPort> found = probe(cancelled);
        if (cancelled.load()) return;
        postScanReport([this, scan, found = std::move(found)]() mutable { portScanEnded(scan, std::move(found)); });
    });
}

// What reaches this thread once the end has begun finds nothing to show: the scan is being stopped.
void Shell::postScanReport(std::function<void()> work) {
    host.post([this, work = std::move(work)] {
        if (running() && !shuttingDown) work();
    });
}

void Shell::portScanEnded(PortScan scan, std::vector<FoundPort> found) {
    scanRunning = false;
    if (scan == PortScan::StartUp) {
        addPortInUse(found);
    } else {
        showStatus(std::to_string(found.size()) + " Schnittstellen gefunden");
        host.repaint();
    }
    // The user's pick first, so that the list shows the port it led to.
    movePortTo(std::exchange(pickedDuringScan, -1));
    const PortList list = portListText(found, settings.comPort, settings.displayUsbPorts, scan, settings.language);
    fillList(host, PortListControl, list.text, '|', "", list.selected);
    if (scan == PortScan::StartUp && host.controlText(StatusLine) == text::searchingPorts.in(settings.language))
        showStatus(text::active.in(settings.language));
    if (std::exchange(followListAfterScan, false) || scan == PortScan::Rescan)
        movePortTo(portFromListText(host.selectedText(PortListControl)));
}

// The stored port, which the gauge object opened while the start-up scan ran, where the scan would
// have found it; its provider value comes from the open port.
void Shell::addPortInUse(std::vector<FoundPort>& found) {
    const int inUse = settings.comPort;
    if (inUse < 1 || inUse > startUpScanPorts) return;
    int providerValue = 0;
    const bool held = gauge->HoldsPort(inUse, providerValue);
    const std::optional<FoundPort> port = scanPort(inUse, held, providerValue);
    if (!port) return;
    const auto after = std::find_if(found.begin(), found.end(), [inUse](const FoundPort& p) { return p.number > inUse; });
    found.insert(after, *port);
}

// A port the user may not open is listed all the same, marked, so that choosing it can say why.
std::optional<FoundPort> Shell::scanPort(int number, bool available, int providerValue) {
    if (available) return FoundPort{number, providerValue};
    if (!ports.deniedGroup(number).empty()) return FoundPort{number, 0, true};
    return std::nullopt;
}

}  // namespace valbrix
