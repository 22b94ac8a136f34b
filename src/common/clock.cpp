#include "common/clock.h"

#include <chrono>
#include <thread>

namespace valbrix {
namespace {

class SteadyClock final : public Clock {
public:
    std::uint32_t nowMs() override {
        const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<std::uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count());
    }
    void sleepMs(int milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

}  // namespace

Clock& systemClock() {
    static SteadyClock clock;
    return clock;
}

}  // namespace valbrix
