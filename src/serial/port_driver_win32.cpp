// Serial ports through the Win32 communications API.
#include <windows.h>

#include <cstring>

#include "serial/com.h"
#include "serial/default_error_box.h"
#include "serial/port_driver.h"
#include "serial/port_driver_win32.h"

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

COMMTIMEOUTS nonBlockingTimeouts() {
    COMMTIMEOUTS timeouts{};
    // MAXDWORD with zero totals: a read returns at once with whatever is buffered.
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

class Win32Connection final : public PortConnection {
public:
    explicit Win32Connection(HANDLE handle) : handle(handle) {}
    ~Win32Connection() override { CloseHandle(handle); }

    bool applyTimeouts() override {
        GetCommTimeouts(handle, &savedTimeouts);
        COMMTIMEOUTS timeouts = nonBlockingTimeouts();
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
        unsigned char byte = 0;
        DWORD read = 0;
        return ReadFile(handle, &byte, 1, &read, nullptr) && read == 1 ? byte : -1;
    }

    bool writeByte(unsigned char byte) override {
        DWORD written = 0;
        return WriteFile(handle, &byte, 1, &written, nullptr) && written == 1;
    }

    bool signal(LineSignal which) override {
        return EscapeCommFunction(handle, static_cast<DWORD>(which)) == 1;
    }

    int providerValue() override { return providerValueOf(handle); }

private:
    HANDLE handle;
    COMMTIMEOUTS savedTimeouts{};
    DCB savedLineState{};
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
};

}  // namespace

PortSystem& systemPorts() {
    static Win32Ports ports;
    return ports;
}

}  // namespace valbrix
