#include "host_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

int millisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

HostPort::HostPort(const std::string& path) {
    const int opened = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (opened < 0) return;
    termios settings{};
    bool ready = ::tcgetattr(opened, &settings) == 0;
    if (ready) {
        ::cfmakeraw(&settings);
        ready = ::tcsetattr(opened, TCSANOW, &settings) == 0;
    }
    if (!ready || ::flock(opened, LOCK_EX | LOCK_NB) != 0 || ::ioctl(opened, TIOCEXCL) != 0) {
        ::close(opened);
        return;
    }
    fd = opened;
}

HostPort::~HostPort() {
    if (fd >= 0) ::close(fd);
}

ssize_t HostPort::write(std::string_view bytes) { return ::write(fd, bytes.data(), bytes.size()); }

std::string HostPort::read(std::size_t count, int timeoutMs) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string received;
    while (received.size() < count && !hangUpSeen && Clock::now() < deadline) readSome(received, millisecondsLeft(deadline));
    return received;
}

std::string HostPort::readUntil(std::string_view tail, int timeoutMs) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string received;
    while (!std::string_view(received).ends_with(tail) && !hangUpSeen && Clock::now() < deadline) {
        readSome(received, millisecondsLeft(deadline));
    }
    return received;
}

void HostPort::readSome(std::string& into, int timeoutMs) {
    pollfd port{fd, POLLIN, 0};
    if (::poll(&port, 1, timeoutMs) <= 0) return;
    char buffer[4096];
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got > 0) {
        into.append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0 || errno != EAGAIN) {
        hangUpSeen = true;  // a hung-up tty reads as end of file or EIO
    }
}
