// Key names, sequences and typed texts of any content: every press has its release, and modifiers
// are never left down.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "export/keystroke_emitter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    text = text.c_str();
    valbrix::keyFromName(text.c_str());
    valbrix::KeyEvents events;
    valbrix::sendSequence(events, text.c_str());
    valbrix::typeText(events, text.c_str(), size % 2 == 0 ? 1 : 3);
    int down[256] = {};
    for (const valbrix::KeyEvent& event : events) down[event.virtualKey] += event.flags == valbrix::KeyEventPress ? 1 : -1;
    for (int count : down)
        if (count != 0) std::abort();
    return 0;
}
