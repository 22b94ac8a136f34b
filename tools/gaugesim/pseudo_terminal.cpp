#include "gaugesim/pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <utility>

#include "gaugesim/errors.h"

namespace gaugesim {

PseudoTerminal::PseudoTerminal(PseudoTerminal&& other) noexcept
    : masterFd(std::exchange(other.masterFd, -1)),
      slave(std::exchange(other.slave, -1)),
      slaveName(std::exchange(other.slaveName, {})) {}

PseudoTerminal& PseudoTerminal::operator=(PseudoTerminal&& other) noexcept {
    if (this != &other) {
        close();
        masterFd = std::exchange(other.masterFd, -1);
        slave = std::exchange(other.slave, -1);
        slaveName = std::exchange(other.slaveName, {});
    }
    return *this;
}

PseudoTerminal::~PseudoTerminal() { close(); }

bool PseudoTerminal::open() {
    close();
    masterFd = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (masterFd < 0) {
        reportSystemError("cannot open a pseudo-terminal");
        return false;
    }
    char name[128];
    if (::grantpt(masterFd) != 0 || ::unlockpt(masterFd) != 0) {
        reportSystemError("cannot unlock the pseudo-terminal");
        close();
        return false;
    }
    if (const int error = ::ptsname_r(masterFd, name, sizeof name); error != 0) {
        errno = error;
        reportSystemError("cannot name the pseudo-terminal");
        close();
        return false;
    }
    // Holding the slave open means the master never sees a hangup when the host closes its port, so
    // the host can come and go like on a real cable. The simulator never reads this descriptor: every
    // byte written to the master stays for the host. No lock is taken, the host locks the port itself.
    slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        reportSystemError(std::string("cannot open ") + name);
        close();
        return false;
    }
    // Raw, so nothing written to the master is echoed back to it as if the host had sent it, and line
    // ends pass unchanged. 4800 8N1 so that a look with stty shows the gauge's settings.
    termios settings{};
    const bool read = ::tcgetattr(slave, &settings) == 0;
    ::cfmakeraw(&settings);
    settings.c_cflag &= ~CSTOPB;
    ::cfsetspeed(&settings, B4800);
    if (!read || ::tcsetattr(slave, TCSANOW, &settings) != 0) {
        reportSystemError(std::string("cannot make ") + name + " raw");
        close();
        return false;
    }
    // The gauge thread must never block on a write while the host is not reading.
    if (::fcntl(masterFd, F_SETFL, ::fcntl(masterFd, F_GETFL) | O_NONBLOCK) != 0) {
        reportSystemError("cannot make the pseudo-terminal non-blocking");
        close();
        return false;
    }
    slaveName = name;
    return true;
}

bool PseudoTerminal::hostHasUnread() const {
    // Polling (never reading) the slave: the kernel first finishes moving what the master wrote into the
    // slave's queue, which a plain count of the queue would miss for a moment after each write.
    pollfd watched{slave, POLLIN, 0};
    return ::poll(&watched, 1, 0) > 0 && (watched.revents & POLLIN);
}

void PseudoTerminal::close() {
    if (masterFd >= 0) ::close(masterFd);
    if (slave >= 0) ::close(slave);
    masterFd = -1;
    slave = -1;
    slaveName.clear();
}

}  // namespace gaugesim
