#include "serial/com.h"

#include <cstring>

#include "serial/error_box.h"

namespace valbrix {

std::string PortName(int portNumber) {
    if (portNumber < 1 || portNumber > highestPortNumber) return {};
    if (portNumber < 10) return "COM" + std::to_string(portNumber);
    return "\\\\.\\COM" + std::to_string(portNumber);
}

void reportSystemError(const char* caption, PortSystem& ports) {
    const std::string text = ports.lastErrorText();
    showErrorBox(caption, text.c_str());
}

cCOM::cCOM(PortSystem& ports, Clock& clock) : ports(ports), clock(clock) {}

cCOM::cCOM(int portNumber, const LineSettings& line, PortSystem& ports, Clock& clock) : ports(ports), clock(clock) {
    if (portNumber > 0) Open(portNumber, line);
}

void raiseDtrAndRts(cCOM& port) {
    port.SetDTR();
    port.SetRTS();
}

cCOM::~cCOM() { Close(); }

bool cCOM::Open(int portNumber, int baud, int dataBits, int parity, int stopBits) {
    return Open(portNumber, LineSettings{baud, dataBits, static_cast<Parity>(parity), stopBits});
}

bool cCOM::Open(int portNumber, const LineSettings& line) {
    if (!CanOpen(portNumber)) return false;
    // The port may have been taken by another program since CanOpen looked: then nothing is open.
    std::unique_ptr<PortConnection> opened = ports.open(portNumber);
    if (!opened) return false;
    connection = std::move(opened);
    openPortNumber = portNumber;
    if (!connection->applyTimeouts()) reportSystemError("Fehler #0001 beim Initialisieren von COM", ports);
    if (!connection->applyLineSettings(line))
        reportSystemError("Fehler #0002 beim Initialisieren von COM", ports);
    configured.store(true, std::memory_order_release);
    isOpen = true;
    return true;
}

bool cCOM::Close() {
    if (!isOpen) return false;
    ClearDTR();
    ClearRTS();
    connection->restore();
    connection.reset();
    isOpen = false;
    openPortNumber = -1;
    return true;
}

bool cCOM::CanOpen(int portNumber) {
    if (portNumber < 1 || portNumber > highestPortNumber) return false;
    if (portNumber == openPortNumber) return true;
    return ports.open(portNumber) != nullptr;
}

bool cCOM::Probe(int portNumber, int& providerValue) {
    if (portNumber < 1 || portNumber > highestPortNumber) return false;
    if (portNumber == openPortNumber) return true;
    std::unique_ptr<PortConnection> probe = ports.open(portNumber);
    if (!probe) return false;
    providerValue = probe->providerValue();
    return true;
}

int cCOM::ReadByte() { return isOpen ? connection->readByte() : -1; }

bool cCOM::WriteByte(int value) {
    return isOpen && connection->writeByte(static_cast<unsigned char>(value & 0xFF));
}

void cCOM::WaitForInput(int timeoutMs, PortWakeup& wakeup) {
    if (isOpen) connection->waitForInput(timeoutMs, wakeup);
    else wakeup.wait(timeoutMs);
}

bool cCOM::Gone() { return isOpen && connection->gone(); }

bool cCOM::WriteString(const char* text, int pauseMs) {
    const std::size_t length = std::strlen(text);
    std::size_t written = 0;
    for (std::size_t i = 0; i < length; ++i) {
        written += WriteByte(static_cast<unsigned char>(text[i])) ? 1 : 0;
        clock.sleepMs(pauseMs);
    }
    return written == length;
}

bool cCOM::signal(LineSignal which) { return isOpen && connection->signal(which); }

}  // namespace valbrix
