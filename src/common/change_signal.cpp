#include "common/change_signal.h"

#include <chrono>

namespace valbrix {

void ChangeSignal::ring() {
    {
        const std::lock_guard<std::mutex> lock(mutex);
        ++changes;
    }
    changed.notify_all();
}

std::uint64_t ChangeSignal::count() const {
    const std::lock_guard<std::mutex> lock(mutex);
    return changes;
}

void ChangeSignal::waitPast(std::uint64_t seen, int timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex);
    const auto moved = [this, seen] { return changes != seen; };
    if (timeoutMs < 0) changed.wait(lock, moved);
    else changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), moved);
}

}  // namespace valbrix
