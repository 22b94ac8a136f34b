#pragma once
// The narrow seam between cCOM and the operating system's serial driver. One implementation per
// platform lives in its own file; tests bring a scripted one.

#include <memory>
#include <string>

namespace valbrix {

// The numbers are those of the Win32 line-settings record.
enum class Parity { None = 0, Odd = 1, Even = 2, Mark = 3, Space = 4 };

struct LineSettings {
    int baud = 4800;
    int dataBits = 8;
    Parity parity = Parity::None;
    int stopBits = 1;  // 1 one, 2 two; anything else as one
};

// What every gauge speaks: 4800 baud, 8 data bits, no parity, one stop bit.
inline constexpr LineSettings gaugeLineSettings{};

// The codes of the Win32 escape functions, kept on every platform so callers read the same.
enum class LineSignal { SetRts = 3, ClearRts = 4, SetDtr = 5, ClearDtr = 6 };

// Wakes a thread that waits on a port, from any other thread: a command to send, a port change, the
// end of the program. Made by the port driver, whose connections wait on it.
class PortWakeup {
public:
    virtual ~PortWakeup() = default;
    // Safe from any thread. A wait that is under way returns; one that starts later returns at once.
    virtual void ring() = 0;
    // Returns when rung (the ring is used up) or after timeoutMs; -1 waits without limit.
    virtual void wait(int timeoutMs) = 0;
};

// One open device. Destroying it closes the handle.
class PortConnection {
public:
    virtual ~PortConnection() = default;
    // Remembers the device's read/write time-outs and makes reads return at once.
    virtual bool applyTimeouts() = 0;
    // Remembers the device's line settings and sets these, raising DTR and RTS.
    virtual bool applyLineSettings(const LineSettings& settings) = 0;
    // Writes back what the two apply calls remembered.
    virtual void restore() = 0;
    virtual int readByte() = 0;  // 0..255, or -1 when nothing is waiting
    virtual bool writeByte(unsigned char byte) = 0;
    // Returns when a byte can be read, the device is gone, wakeup (made by the same driver) rings or
    // timeoutMs have passed; -1 waits without limit.
    virtual void waitForInput(int timeoutMs, PortWakeup& wakeup) = 0;
    // True once the device has gone away under the open handle, as a USB adapter that is pulled out:
    // reads and writes fail from then on, and only opening the port anew can bring it back.
    virtual bool gone() = 0;
    virtual bool signal(LineSignal which) = 0;
    // A value from the driver's properties; 51 marks a USB-attached port.
    virtual int providerValue() = 0;
};

class PortSystem {
public:
    virtual ~PortSystem() = default;
    // Opens the port exclusively; nullptr when it is missing or in use.
    virtual std::unique_ptr<PortConnection> open(int portNumber) = 0;
    // The system's description of the error that the last failed call left behind.
    virtual std::string lastErrorText() = 0;
    // The group that owns the port's device when the device is there but this user may not open it
    // for lack of permission (on Linux, not being in the group "dialout"); empty otherwise.
    virtual std::string deniedGroup(int /*portNumber*/) { return {}; }
    // What a thread that waits on this driver's ports is woken with.
    virtual std::unique_ptr<PortWakeup> makeWakeup() = 0;
};

// The serial driver of the platform the program runs on.
PortSystem& systemPorts();

}  // namespace valbrix
