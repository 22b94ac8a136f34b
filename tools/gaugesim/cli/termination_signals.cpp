#include "termination_signals.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "gaugesim/errors.h"

TerminationSignals::TerminationSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    if (pthread_sigmask(SIG_BLOCK, &signals, nullptr) != 0) {
        gaugesim::reportError("cannot block the termination signals");
        return;
    }
    signalFd = signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK);
    if (signalFd < 0) gaugesim::reportSystemError("cannot watch the termination signals");
}

TerminationSignals::~TerminationSignals() {
    if (signalFd >= 0) close(signalFd);
}

bool TerminationSignals::wait(int ms) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(ms, 0));
    while (!arrived) {
        int left = -1;
        if (ms >= 0) {
            left = static_cast<int>(
                std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count());
            left = std::max(left, 0);
        }
        pollfd watch{signalFd, POLLIN, 0};
        const int ready = poll(&watch, 1, left);
        if (ready < 0 && errno == EINTR) continue;
        if (ready > 0) {
            signalfd_siginfo info;
            arrived = read(signalFd, &info, sizeof info) == static_cast<ssize_t>(sizeof info);
        }
        if (left == 0 || ready < 0) break;
    }
    return arrived;
}
