#include "gauge/value_ring.h"

namespace valbrix {

bool MeasuredValueRing::pushValue(const MeasuredValue& record) {
    const int current = writeIndex.load(std::memory_order_relaxed);
    const int next = advance(current);
    // Acquire pairs with the consumer's release of readIndex: the slot it has just copied out is free.
    if (next == readIndex.load(std::memory_order_acquire)) {
        dropped.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    slots[static_cast<std::size_t>(next)] = record;
    writeIndex.store(next, std::memory_order_release);
    return true;
}

bool MeasuredValueRing::hasValue() const {
    return readIndex.load(std::memory_order_relaxed) != writeIndex.load(std::memory_order_acquire);
}

bool MeasuredValueRing::takeValue(MeasuredValue& out) {
    const int current = readIndex.load(std::memory_order_relaxed);
    if (current == writeIndex.load(std::memory_order_acquire)) return false;
    const int next = advance(current);
    out = slots[static_cast<std::size_t>(next)];
    readIndex.store(next, std::memory_order_release);
    return true;
}

}  // namespace valbrix
