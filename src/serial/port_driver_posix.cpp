// Serial ports through termios. Exclusive use is enforced twice: TIOCEXCL keeps other programs out of
// the tty, and an flock also keeps out a second open by root or by this same program, which TIOCEXCL
// does not.
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "serial/default_error_box.h"
#include "serial/port_access.h"
#include "serial/port_driver.h"
#include "serial/port_driver_posix.h"
#include "serial/port_paths.h"

namespace valbrix {

void defaultErrorBox(const char* caption, const char* text) { std::fprintf(stderr, "%s: %s\n", caption, text); }

namespace {

speed_t speedFor(int baud) {
    struct Rate {
        int baud;
        speed_t speed;
    };
    static constexpr Rate rates[] = {{1200, B1200},   {2400, B2400},   {4800, B4800},    {9600, B9600},
                                     {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}};
    for (const Rate& rate : rates)
        if (rate.baud == baud) return rate.speed;
    return B0;
}

tcflag_t characterSize(int dataBits) {
    switch (dataBits) {
        case 5: return CS5;
        case 6: return CS6;
        case 7: return CS7;
        default: return CS8;
    }
}

tcflag_t parityFlags(Parity parity) {
    switch (parity) {
        case Parity::Odd: return PARENB | PARODD;
        case Parity::Even: return PARENB;
        case Parity::Mark: return PARENB | PARODD | CMSPAR;
        case Parity::Space: return PARENB | CMSPAR;
        default: return 0;
    }
}

// A USB serial adapter's tty has a device link in sysfs that runs through the USB bus.
bool isUsbAttached(const char* devicePath) {
    char real[PATH_MAX];
    if (realpath(devicePath, real) == nullptr) return false;
    const char* name = std::strrchr(real, '/');
    name = name != nullptr ? name + 1 : real;
    const std::string sysfs = std::string("/sys/class/tty/") + name + "/device";
    char device[PATH_MAX];
    if (realpath(sysfs.c_str(), device) == nullptr) return false;
    return std::strstr(device, "/usb") != nullptr;
}

// An event counter the waiting thread polls beside its port.
class PosixWakeup final : public PortWakeup {
public:
    PosixWakeup() : fd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~PosixWakeup() override {
        if (fd >= 0) close(fd);
    }
    PosixWakeup(const PosixWakeup&) = delete;
    PosixWakeup& operator=(const PosixWakeup&) = delete;

    void ring() override {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(fd, &one, sizeof one);
    }
    void wait(int timeoutMs) override {
        pollfd watched{fd, POLLIN, 0};
        if (poll(&watched, 1, timeoutMs) > 0) takeRing();
    }
    int descriptor() const { return fd; }
    void takeRing() {
        std::uint64_t rings = 0;
        [[maybe_unused]] const ssize_t got = read(fd, &rings, sizeof rings);
    }

private:
    int fd;
};

// What a terminal reports once its device is gone: a pulled USB adapter's tty and a pseudo-terminal
// whose other end has closed are hung up.
constexpr short hungUp = POLLHUP | POLLERR | POLLNVAL;

class PosixConnection final : public PortConnection {
public:
    PosixConnection(int fd, std::string path) : fd(fd), path(std::move(path)) {}
    ~PosixConnection() override {
        ioctl(fd, TIOCNXCL);
        close(fd);
    }

    bool applyTimeouts() override {
        // Reads never block: the descriptor is non-blocking and VMIN/VTIME are zeroed with the line
        // settings. What is remembered here is the whole termios record, written back on close.
        haveSaved = tcgetattr(fd, &saved) == 0;
        return haveSaved;
    }

    bool applyLineSettings(const LineSettings& settings) override {
        termios current{};
        if (tcgetattr(fd, &current) != 0) return false;
        if (!haveSaved) {
            saved = current;
            haveSaved = true;
        }
        if (!setLineSettings(current, settings)) {
            errno = EINVAL;
            return false;
        }
        if (tcsetattr(fd, TCSANOW, &current) != 0) return false;
        // Pseudo-terminals have no modem lines; a failure here is expected there.
        signal(LineSignal::SetDtr);
        signal(LineSignal::SetRts);
        return true;
    }

    void restore() override {
        if (haveSaved) tcsetattr(fd, TCSANOW, &saved);
    }

    int readByte() override {
        unsigned char byte;
        const ssize_t got = read(fd, &byte, 1);
        if (got == 1) return byte;
        // With nothing waiting a terminal read returns 0 or EAGAIN, and so does a hung-up one: poll
        // tells them apart.
        if ((got < 0 && errno != EAGAIN && errno != EINTR) || (got == 0 && hangUpReported(0))) lost = true;
        return -1;
    }

    bool writeByte(unsigned char byte) override {
        const ssize_t written = write(fd, &byte, 1);
        if (written < 0 && errno != EAGAIN && errno != EINTR) lost = true;
        return written == 1;
    }

    void waitForInput(int timeoutMs, PortWakeup& wakeup) override {
        // The wakeup comes from this driver's makeWakeup.
        auto& posixWakeup = static_cast<PosixWakeup&>(wakeup);
        pollfd watched[2] = {{fd, POLLIN, 0}, {posixWakeup.descriptor(), POLLIN, 0}};
        if (poll(watched, 2, timeoutMs) <= 0) return;
        if ((watched[0].revents & hungUp) != 0) lost = true;
        if ((watched[1].revents & POLLIN) != 0) posixWakeup.takeRing();
    }

    bool gone() override { return lost; }

    bool signal(LineSignal which) override {
        int bits = 0;
        unsigned long request = TIOCMBIS;
        switch (which) {
            case LineSignal::SetDtr: bits = TIOCM_DTR; break;
            case LineSignal::ClearDtr: bits = TIOCM_DTR; request = TIOCMBIC; break;
            case LineSignal::SetRts: bits = TIOCM_RTS; break;
            case LineSignal::ClearRts: bits = TIOCM_RTS; request = TIOCMBIC; break;
        }
        return ioctl(fd, request, &bits) == 0;
    }

    int providerValue() override { return isUsbAttached(path.c_str()) ? 51 : 0; }

private:
    bool hangUpReported(int timeoutMs) {
        pollfd watched{fd, POLLIN, 0};
        return poll(&watched, 1, timeoutMs) > 0 && (watched.revents & hungUp) != 0;
    }

    int fd;
    std::string path;
    termios saved{};
    bool haveSaved = false;
    bool lost = false;
};

class PosixPorts final : public PortSystem {
public:
    std::unique_ptr<PortConnection> open(int portNumber) override {
        const std::string path = devicePathForPort(portNumber);
        if (path.empty()) {
            errno = ENOENT;
            return nullptr;
        }
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return nullptr;
        if (!isatty(fd) || flock(fd, LOCK_EX | LOCK_NB) != 0 || ioctl(fd, TIOCEXCL) != 0) {
            const int error = errno;
            close(fd);
            errno = error;
            return nullptr;
        }
        return std::make_unique<PosixConnection>(fd, path);
    }

    std::string lastErrorText() override { return std::strerror(errno); }

    std::string deniedGroup(int portNumber) override { return deniedGroupOf(devicePathForPort(portNumber)); }

    std::unique_ptr<PortWakeup> makeWakeup() override { return std::make_unique<PosixWakeup>(); }
};

}  // namespace

bool setLineSettings(termios& record, const LineSettings& settings) {
    const speed_t speed = speedFor(settings.baud);
    if (speed == B0) return false;
    cfmakeraw(&record);
    record.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    record.c_cflag |= CLOCAL | CREAD | characterSize(settings.dataBits) | parityFlags(settings.parity);
    if (settings.stopBits == 2) record.c_cflag |= CSTOPB;
    record.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    record.c_cc[VMIN] = 0;
    record.c_cc[VTIME] = 0;
    cfsetispeed(&record, speed);
    cfsetospeed(&record, speed);
    return true;
}

PortSystem& systemPorts() {
    static PosixPorts ports;
    return ports;
}

}  // namespace valbrix
