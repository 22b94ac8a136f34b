#pragma once
// Tells a thread that sleeps while nothing happens that something it watches has changed. The waiter
// names the count of changes it has seen, so a change that comes just before the wait is not missed.

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace valbrix {

class ChangeSignal {
public:
    // Safe from any thread.
    void ring();
    std::uint64_t count() const;
    // Returns once the count differs from seen, or after timeoutMs of real time (-1: no limit).
    void waitPast(std::uint64_t seen, int timeoutMs);

private:
    mutable std::mutex mutex;
    std::condition_variable changed;
    std::uint64_t changes = 0;
};

}  // namespace valbrix
