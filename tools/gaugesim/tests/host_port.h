#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

// The slave opened the way Valbrix opens a serial port: no controlling terminal, non-blocking, raw and
// locked against other programs. If the simulator locked or read the slave itself, this would show.
class HostPort {
public:
    explicit HostPort(const std::string& path);
    ~HostPort();
    HostPort(const HostPort&) = delete;
    HostPort& operator=(const HostPort&) = delete;

    bool isOpen() const { return fd >= 0; }
    ssize_t write(std::string_view bytes);
    // What arrives until count bytes are in, the port hangs up or the time is up.
    std::string read(std::size_t count, int timeoutMs);
    // What arrives until it ends with tail, the port hangs up or the time is up.
    std::string readUntil(std::string_view tail, int timeoutMs);
    bool hungUp() const { return hangUpSeen; }

private:
    // Reads what is there, waiting up to timeoutMs for the first byte.
    void readSome(std::string& into, int timeoutMs);

    int fd = -1;
    bool hangUpSeen = false;
};
