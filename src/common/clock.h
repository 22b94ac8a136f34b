#pragma once
// Time as the acquisition and export passes see it. The quiet-line rule, the echo window and the
// identification poll all depend on it, so tests hand in a clock of their own.

#include <cstdint>

namespace valbrix {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds from an arbitrary origin; wraps like a 32-bit tick count, so compare differences.
    virtual std::uint32_t nowMs() = 0;
    virtual void sleepMs(int milliseconds) = 0;
};

// The steady clock of the machine; one stateless instance for the whole program.
Clock& systemClock();

inline std::uint32_t elapsedMs(std::uint32_t since, std::uint32_t now) { return now - since; }

}  // namespace valbrix
