#pragma once
// Measured values travel from the acquisition thread (the only producer) to the export thread (the
// only consumer) through this ring. Each side stores only its own index; a record is written whole
// before the new write index is published, so the consumer never sees half a record.

#include <array>
#include <atomic>
#include <cstdint>

#include "gauge/measured_value.h"

namespace valbrix {

class MeasuredValueRing {
public:
    static constexpr int lastIndex = 2999;

    // False when the ring already holds lastIndex records not yet taken: the newest value is then
    // dropped and counted rather than overwriting one the consumer has not seen.
    bool pushValue(const MeasuredValue& record);
    // Whether a record waits; for the consumer, which may leave it there for a later pass.
    bool hasValue() const;
    // False when empty, leaving out untouched.
    bool takeValue(MeasuredValue& out);
    std::uint32_t droppedValues() const { return dropped.load(std::memory_order_relaxed); }

private:
    static int advance(int index) { return index + 1 > lastIndex ? 0 : index + 1; }

    std::array<MeasuredValue, lastIndex + 1> slots{};
    std::atomic<std::int32_t> writeIndex{0};
    std::atomic<std::int32_t> readIndex{0};
    std::atomic<std::uint32_t> dropped{0};
};

}  // namespace valbrix
