#pragma once

// SIGINT, SIGTERM and SIGHUP are blocked in every thread and read from a descriptor instead. The gauge
// thread then never sees EINTR, and every wait of the main thread can end early on Ctrl-C, so the
// program always gets to remove its link. Construct it before any thread starts.
class TerminationSignals {
public:
    TerminationSignals();
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    bool valid() const { return signalFd >= 0; }
    int fd() const { return signalFd; }
    // Waits up to ms milliseconds (-1: for ever); true once a termination signal has arrived.
    bool wait(int ms);

private:
    int signalFd = -1;
    bool arrived = false;
};
