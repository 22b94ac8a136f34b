#pragma once
// Key events read back as the text a German or English keyboard layout makes of them, with the
// non-character keys in angle brackets: "123 \xB5m<ENTER>". The headless road prints it, and tests
// read it more easily than raw events.

#include <algorithm>
#include <set>
#include <string>

#include "export/key_event.h"

namespace valbrix {

std::string describeKeys(const KeyEvents& events);
// One key by itself: "<ENTER>", "m", "<ALTGR>".
std::string keyName(std::uint8_t virtualKey);

// Keeps every event it is given, and reports the keys named untypable as a layout without them would.
class RecordingKeySink final : public KeySink {
public:
    UntypedKeys deliver(const KeyEvents& delivered) override {
        events.insert(events.end(), delivered.begin(), delivered.end());
        UntypedKeys missing;
        for (const std::uint8_t key : untypable)
            if (std::any_of(delivered.begin(), delivered.end(), [key](const KeyEvent& e) { return e.virtualKey == key; }))
                missing.push_back(key);
        return missing;
    }
    KeyEvents events;
    std::set<std::uint8_t> untypable;
};

}  // namespace valbrix
