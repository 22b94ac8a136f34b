#pragma once
// The gauge's port is used all the time by the acquisition thread, which also sleeps on it while the
// line is quiet, and now and then by the user-interface thread (a port change, the probes of a rescan,
// DTR and RTS), which must never wait long. Another thread announces itself and wakes the acquisition
// thread, which lets go of the port at its next step and takes it again only once nobody else waits.

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "serial/port_driver.h"

namespace valbrix {

class PortLock {
public:
    explicit PortLock(PortWakeup& wakeup) : wakeup(wakeup) {}

    // Held by any thread but the acquisition thread while it uses the port.
    class Use {
    public:
        explicit Use(PortLock& lock);
        ~Use();
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;

    private:
        PortLock& lock;
    };

    // For the acquisition thread: the port, once nobody else waits for it.
    std::unique_lock<std::mutex> take();
    // Another thread waits for the port: the acquisition thread lets it go at its next step.
    bool wanted() const { return waiting.load() > 0; }

private:
    PortWakeup& wakeup;
    std::mutex port;
    std::mutex waitingLock;
    std::condition_variable nobodyWaiting;
    std::atomic<int> waiting{0};
};

}  // namespace valbrix
