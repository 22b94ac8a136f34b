#pragma once
// cCOM: one serial port opened by number at fixed line settings, read without blocking and written
// byte by byte. The gauge object derives from it and owns a second one for all its traffic; the port
// scan uses a bare one to probe ports.

#include <atomic>
#include <memory>
#include <string>

#include "common/clock.h"
#include "serial/port_driver.h"

namespace valbrix {

inline constexpr int highestPortNumber = 99;

// "COM1".."COM9", then the device-namespace form "\\.\COM10".."\\.\COM99"; empty outside 1..99.
std::string PortName(int portNumber);

// Shows the system's description of the last error under the given caption.
void reportSystemError(const char* caption, PortSystem& ports = systemPorts());

class cCOM {
public:
    explicit cCOM(PortSystem& ports = systemPorts(), Clock& clock = systemClock());
    cCOM(int portNumber, const LineSettings& line, PortSystem& ports = systemPorts(), Clock& clock = systemClock());
    ~cCOM();
    cCOM(const cCOM&) = delete;
    cCOM& operator=(const cCOM&) = delete;

    bool Open(int portNumber, int baud, int dataBits, int parity, int stopBits);
    bool Open(int portNumber, const LineSettings& line);
    bool Close();
    bool CanOpen(int portNumber);
    bool Probe(int portNumber, int& providerValue);
    int ReadByte();
    bool WriteByte(int value);
    // Returns when a byte can be read, the device has gone, wakeup rings or timeoutMs have passed (-1:
    // no limit); with no port open, when wakeup rings or the time has passed.
    void WaitForInput(int timeoutMs, PortWakeup& wakeup);
    // True once the device of the open port has gone away (a USB adapter pulled out); Close, then Open
    // again once it is back.
    bool Gone();
    bool WriteString(const char* text, int pauseMs);
    bool SetDTR() { return signal(LineSignal::SetDtr); }
    bool ClearDTR() { return signal(LineSignal::ClearDtr); }
    bool SetRTS() { return signal(LineSignal::SetRts); }
    bool ClearRTS() { return signal(LineSignal::ClearRts); }
    bool IsConfigured() const { return configured.load(std::memory_order_acquire); }
    int OpenPortNumber() const { return openPortNumber; }
    // What Probe would report for the open port; 0 with none open.
    int ProviderValue() { return isOpen ? connection->providerValue() : 0; }

private:
    bool signal(LineSignal which);

    PortSystem& ports;
    Clock& clock;
    bool isOpen = false;
    std::unique_ptr<PortConnection> connection;
    int openPortNumber = -1;
    // Read by the acquisition thread while the user-interface thread may reopen the port.
    std::atomic<bool> configured{false};
};

// The gauges expect both lines up whenever the host listens.
void raiseDtrAndRts(cCOM& port);

}  // namespace valbrix
