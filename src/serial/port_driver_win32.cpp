// Serial ports through the Win32 communications API.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "serial/com.h"
#include "serial/default_error_box.h"
#include "serial/port_driver.h"
#include "serial/port_driver_win32.h"
#include "serial/removed_device_error.h"

namespace valbrix {

void defaultErrorBox(const char* caption, const char* text) {
    MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONINFORMATION);
}

namespace {

HANDLE openExclusive(int portNumber) {
    const std::string name = PortName(portNumber);
    if (name.empty()) return INVALID_HANDLE_VALUE;
    return CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

}  // namespace

DCB lineSettingsRecord(const LineSettings& settings) {
    DCB dcb;
    std::memset(&dcb, 0, sizeof dcb);
    dcb.DCBlength = 28;
    dcb.BaudRate = static_cast<DWORD>(settings.baud);
    dcb.ByteSize = static_cast<BYTE>(settings.dataBits);
    dcb.Parity = static_cast<BYTE>(settings.parity);
    if (settings.stopBits == 1) dcb.StopBits = ONESTOPBIT;
    else if (settings.stopBits == 2) dcb.StopBits = TWOSTOPBITS;
    else dcb.StopBits = static_cast<BYTE>(settings.stopBits);
    dcb.fBinary = 1;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fTXContinueOnXoff = 1;
    return dcb;
}

// MAXDWORD with zero totals: a read returns at once with whatever is buffered.
COMMTIMEOUTS immediateReads() {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    return timeouts;
}

int providerValueOf(HANDLE port) {
    // Cleared first so that a failing call reports 0 rather than whatever the stack held.
    COMMPROP properties;
    std::memset(&properties, 0, sizeof properties);
    GetCommProperties(port, &properties);
    return static_cast<int>(static_cast<unsigned short>(properties.wcProvChar[0]));
}

namespace {

// MAXDWORD interval and multiplier with a constant: a read returns at once with what is buffered, or
// with the first byte that arrives, or empty after the constant.
COMMTIMEOUTS readsWithin(DWORD milliseconds) {
    COMMTIMEOUTS timeouts = immediateReads();
    timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
    timeouts.ReadTotalTimeoutConstant = milliseconds;
    return timeouts;
}

// An automatic-reset event; a synchronous comm handle cannot be waited on beside it, so a port wait
// looks at it between slices.
class Win32Wakeup final : public PortWakeup {
public:
    Win32Wakeup() : event(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}
    ~Win32Wakeup() override {
        if (event != nullptr) CloseHandle(event);
    }
    Win32Wakeup(const Win32Wakeup&) = delete;
    Win32Wakeup& operator=(const Win32Wakeup&) = delete;

    void ring() override { SetEvent(event); }
    void wait(int timeoutMs) override { WaitForSingleObject(event, timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs)); }
    bool takeRing() { return WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

private:
    HANDLE event;
};

// A slice is as long as an acquisition pass: a ring is seen no later than a pass would see it.
constexpr int waitSliceMs = 50;
// Some drivers answer a pulled adapter with empty reads that succeed and fail only ClearCommError and
// writes (wine does so with ERROR_NOT_READY): a quiet line is asked how it is at the rhythm in which the
// program retries a lost port.
constexpr int healthCheckMs = 500;

class Win32Connection final : public PortConnection {
public:
    explicit Win32Connection(HANDLE handle) : handle(handle) {}
    ~Win32Connection() override { CloseHandle(handle); }

    bool applyTimeouts() override {
        GetCommTimeouts(handle, &savedTimeouts);
        COMMTIMEOUTS timeouts = immediateReads();
        return SetCommTimeouts(handle, &timeouts) != 0;
    }

    bool applyLineSettings(const LineSettings& settings) override {
        GetCommState(handle, &savedLineState);
        DCB dcb = lineSettingsRecord(settings);
        return SetCommState(handle, &dcb) != 0;
    }

    void restore() override {
        SetCommTimeouts(handle, &savedTimeouts);
        SetCommState(handle, &savedLineState);
    }

    int readByte() override {
        if (early >= 0) return std::exchange(early, -1);
        unsigned char byte = 0;
        DWORD read = 0;
        // With these time-outs an empty read succeeds.
        if (!ReadFile(handle, &byte, 1, &read, nullptr)) {
            failed();
            return -1;
        }
        return read == 1 ? byte : -1;
    }

    bool writeByte(unsigned char byte) override {
        DWORD written = 0;
        if (!WriteFile(handle, &byte, 1, &written, nullptr)) failed();
        return written == 1;
    }

    // The byte a timed read brings is kept for the next readByte.
    void waitForInput(int timeoutMs, PortWakeup& wakeup) override {
        auto& win32Wakeup = static_cast<Win32Wakeup&>(wakeup);
        for (int waited = 0; early < 0 && !lost && (timeoutMs < 0 || waited < timeoutMs); waited += waitSliceMs) {
            if (win32Wakeup.takeRing()) return;
            const int slice = timeoutMs < 0 ? waitSliceMs : std::min(waitSliceMs, timeoutMs - waited);
            COMMTIMEOUTS timed = readsWithin(static_cast<DWORD>(slice));
            SetCommTimeouts(handle, &timed);
            unsigned char byte = 0;
            DWORD read = 0;
            const bool readOk = ReadFile(handle, &byte, 1, &read, nullptr) != 0;
            COMMTIMEOUTS immediate = immediateReads();
            SetCommTimeouts(handle, &immediate);
            if (!readOk) {
                failed();
                // A failure that passes is not waited out by the read: the slice is slept instead.
                if (!lost) Sleep(static_cast<DWORD>(slice));
            } else if (read == 1) {
                early = byte;
                quietMs = 0;
            } else if ((quietMs += slice) >= healthCheckMs) {
                quietMs = 0;
                checkHealth();
            }
        }
    }

    bool gone() override { return lost; }

    bool signal(LineSignal which) override {
        return EscapeCommFunction(handle, static_cast<DWORD>(which)) == 1;
    }

    int providerValue() override { return providerValueOf(handle); }

private:
    // A pulled adapter's handle fails every call from then on; any other failure (a line error, a
    // purge) is cleared so that the next call can succeed.
    void failed() {
        if (isRemovedDeviceError(GetLastError())) {
            lost = true;
            return;
        }
        DWORD errors = 0;
        ClearCommError(handle, &errors, nullptr);
    }

    void checkHealth() {
        DWORD errors = 0;
        if (!ClearCommError(handle, &errors, nullptr) && isRemovedDeviceError(GetLastError())) lost = true;
    }

    HANDLE handle;
    COMMTIMEOUTS savedTimeouts{};
    DCB savedLineState{};
    int early = -1;  // a byte a wait has read already
    int quietMs = 0;  // waited without a byte since the line was last asked how it is
    bool lost = false;
};

class Win32Ports final : public PortSystem {
public:
    std::unique_ptr<PortConnection> open(int portNumber) override {
        const HANDLE handle = openExclusive(portNumber);
        if (handle == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_unique<Win32Connection>(handle);
    }

    std::string lastErrorText() override {
        const DWORD error = GetLastError();
        char* buffer = nullptr;
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&buffer),
                       0, nullptr);
        std::string text = buffer != nullptr ? buffer : "";
        LocalFree(buffer);
        return text;
    }

    std::unique_ptr<PortWakeup> makeWakeup() override { return std::make_unique<Win32Wakeup>(); }
};

}  // namespace

PortSystem& systemPorts() {
    static Win32Ports ports;
    return ports;
}

}  // namespace valbrix
