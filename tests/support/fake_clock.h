#pragma once
// A clock that only moves when someone sleeps on it: the acquisition passes run in virtual time.

#include <cstdint>
#include <functional>

#include "common/clock.h"

namespace valbrix::testing {

class FakeClock final : public Clock {
public:
    std::uint32_t nowMs() override { return now; }
    void sleepMs(int milliseconds) override {
        now += static_cast<std::uint32_t>(milliseconds);
        if (onSleep) onSleep(now);
    }
    void advance(std::uint32_t milliseconds) { sleepMs(static_cast<int>(milliseconds)); }

    std::uint32_t now = 1000;
    // Lets a scripted gauge deliver bytes while the code under test waits.
    std::function<void(std::uint32_t now)> onSleep;
};

}  // namespace valbrix::testing
