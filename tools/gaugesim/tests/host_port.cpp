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
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    termios settings{};
    bool ready = ::tcgetattr(fd, &settings) == 0;
    if (ready) {
        ::cfmakeraw(&settings);
        ready = ::tcsetattr(fd, TCSANOW, &settings) == 0;
    }
    if (!ready || ::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
        ::close(fd);
        return;
    }
    fd_ = fd;
}

HostPort::~HostPort() {
    if (fd_ >= 0) ::close(fd_);
}

ssize_t HostPort::write(std::string_view bytes) { return ::write(fd_, bytes.data(), bytes.size()); }

std::string HostPort::read(std::size_t count, int timeoutMs) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string received;
    while (received.size() < count && !hungUp_ && Clock::now() < deadline) readSome(received, millisecondsLeft(deadline));
    return received;
}

std::string HostPort::readUntil(std::string_view tail, int timeoutMs) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string received;
    while (!std::string_view(received).ends_with(tail) && !hungUp_ && Clock::now() < deadline) {
        readSome(received, millisecondsLeft(deadline));
    }
    return received;
}

void HostPort::readSome(std::string& into, int timeoutMs) {
    pollfd port{fd_, POLLIN, 0};
    if (::poll(&port, 1, timeoutMs) <= 0) return;
    char buffer[4096];
    const ssize_t got = ::read(fd_, buffer, sizeof buffer);
    if (got > 0) {
        into.append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0 || errno != EAGAIN) {
        hungUp_ = true;  // a hung-up tty reads as end of file or EIO
    }
}
