// The gauge object's port: the change to another port, its use by other threads, and the device that
// goes away under it (a USB adapter pulled out) and comes back under the same name.
#include "gauge/varni_tiny.h"
#include "serial/error_box.h"

namespace valbrix {

int cVarniTiny::ChangePort(int n) {
    int now;
    bool wasLost;
    std::vector<ErrorBoxText> boxes;
    {
        HeldErrorBoxes held;
        const PortLock::Use use(portLock);
        ++portGeneration;
        wasLost = portLost.exchange(false);
        sayGoodbyeAndClose();
        if (port->Open(n, gaugeLineSettings)) {
            portNumber.store(n);
            now = n;
        } else {
            clock.sleepMs(1);
            port->Close();
            const int previous = portNumber.load();
            now = port->Open(previous, gaugeLineSettings) ? previous : -1;
        }
        boxes = held.take();
    }
    if (wasLost) changes.ring();
    for (const ErrorBoxText& box : boxes) showErrorBox(box.caption.c_str(), box.text.c_str());
    return now;
}

void cVarniTiny::RaiseDtrAndRts() {
    const PortLock::Use use(portLock);
    raiseDtrAndRts(*port);
}

// The object itself is a port object that never opens a port of its own: it probes.
bool cVarniTiny::ProbePort(int number, int& providerValue) {
    {
        const PortLock::Use use(portLock);
        if (number > 0 && number == port->OpenPortNumber()) return true;
    }
    return cCOM::Probe(number, providerValue);
}

bool cVarniTiny::HoldsPort(int number, int& providerValue) {
    const PortLock::Use use(portLock);
    if (number <= 0 || number != port->OpenPortNumber()) return false;
    providerValue = port->ProviderValue();
    return true;
}

int cVarniTiny::OpenPortNumber() {
    const PortLock::Use use(portLock);
    return port->OpenPortNumber();
}

// Closed at once: a USB adapter plugged back in gets its old name only once the old handle is gone.
// A record cut off by the pull must not be completed by what the next gauge prints, and commands for a
// gauge that is not there are not sent later to whatever comes back.
void cVarniTiny::losePort() {
    port->Close();
    ++portGeneration;
    portLost.store(true);
    lastReopenTime = clock.nowMs();
    framing.reset();
    markNotIdentified();
    changes.ring();
}

void cVarniTiny::dropQueuedCommands() {
    char command[commandBufferSize];
    while (NextCommand(command, sizeof command)) {
    }
}

// A port that comes back but cannot be set up as before is tried again later rather than reported:
// the user already knows that it is gone.
void cVarniTiny::reopenWhenDue() {
    if (elapsedMs(lastReopenTime, clock.nowMs()) < reopenIntervalMs) return;
    lastReopenTime = clock.nowMs();
    bool back = false;
    {
        HeldErrorBoxes quiet;
        const std::unique_lock<std::mutex> held = portLock.take();
        if (!portLost.load()) return;
        back = port->Open(portNumber.load(), gaugeLineSettings);
        if (back && !quiet.take().empty()) {
            port->Close();
            back = false;
        }
        if (back) {
            raiseDtrAndRts(*port);
            ++portGeneration;
            portLost.store(false);
        }
    }
    if (!back) return;
    lastByteTime = clock.nowMs();
    changes.ring();
}

}  // namespace valbrix
