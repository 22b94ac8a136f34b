#include "gauge/command_queue.h"

#include <cstring>

#include "common/text.h"

namespace valbrix {

bool CommandQueue::QueueCommand(char prefix, const char* text) {
    if (std::strlen(text) > longestCommand) return false;
    const std::lock_guard<std::mutex> lock(producers);
    const int write = commandWrite.load(std::memory_order_relaxed);
    const int next = advance(write);
    if (next == commandRead.load(std::memory_order_acquire)) return false;
    char* slot = slots[next];
    slot[0] = prefix;
    copyText(slot + 1, text, slotSize - 2);
    commandWrite.store(next, std::memory_order_release);
    return true;
}

bool CommandQueue::NextCommand(char* out, std::size_t outSize) {
    const int read = commandRead.load(std::memory_order_relaxed);
    if (read == commandWrite.load(std::memory_order_acquire)) {
        if (outSize > 0) out[0] = '\0';
        return false;
    }
    const int next = advance(read);
    if (outSize > 0) copyText(out, slots[next], outSize - 1);
    commandRead.store(next, std::memory_order_release);
    return true;
}

bool CommandQueue::CommandQueueEmpty() const {
    return commandWrite.load(std::memory_order_acquire) == commandRead.load(std::memory_order_relaxed);
}

}  // namespace valbrix
