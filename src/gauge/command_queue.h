#pragma once
// Commands for the gauge wait in a ring of 39 slots. The user-interface, export and acquisition threads
// all queue commands; only the acquisition thread takes them. Producers are serialised by a lock, and
// each fills its slot before it publishes the new write index.

#include <atomic>
#include <cstddef>
#include <mutex>

namespace valbrix {

class CommandQueue {
public:
    static constexpr int slotCount = 39;
    static constexpr std::size_t slotSize = 3999;
    // The acquisition thread takes each command into a buffer of 1000 characters, prefix included.
    static constexpr std::size_t longestCommand = 998;

    // False when 38 commands already wait or the text is longer than longestCommand: nothing is queued.
    bool QueueCommand(char prefix, const char* text);
    // False, with out emptied, when no command waits. out holds outSize bytes.
    bool NextCommand(char* out, std::size_t outSize);
    bool CommandQueueEmpty() const;

private:
    static int advance(int index) { return index + 1 >= slotCount ? 0 : index + 1; }

    char slots[slotCount][slotSize] = {};
    std::atomic<int> commandWrite{0};
    std::atomic<int> commandRead{0};
    std::mutex producers;
};

}  // namespace valbrix
