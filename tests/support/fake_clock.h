#pragma once
// A clock that only moves when someone sleeps on it: the acquisition passes run in virtual time.

#include <cstdint>
#include <functional>
#include <vector>

#include "common/clock.h"

namespace valbrix::testing {

class FakeClock final : public Clock {
public:
    std::uint32_t nowMs() override { return now; }
    void sleepMs(int milliseconds) override {
        sleeps.push_back(milliseconds);
        advance(static_cast<std::uint32_t>(milliseconds));
    }
    // Time passes without the code under test pausing: the test stands in for a thread's own pause.
    void advance(std::uint32_t milliseconds) {
        now += milliseconds;
        if (onSleep) onSleep(now);
    }

    std::uint32_t now = 1000;
    // Every pause the code under test asked for, in order.
    std::vector<int> sleeps;
    // Lets a test look at the world, or a scripted gauge deliver bytes, while the code under test waits.
    std::function<void(std::uint32_t now)> onSleep;
};

}  // namespace valbrix::testing
