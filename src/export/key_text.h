#pragma once
// Key events read back as the text a German or English keyboard layout makes of them, with the
// non-character keys in angle brackets: "123 \xB5m<ENTER>". The headless road prints it, and tests
// read it more easily than raw events.

#include <string>

#include "export/key_event.h"

namespace valbrix {

std::string describeKeys(const KeyEvents& events);

// Keeps every event it is given.
class RecordingKeySink final : public KeySink {
public:
    void deliver(const KeyEvents& delivered) override { events.insert(events.end(), delivered.begin(), delivered.end()); }
    KeyEvents events;
};

}  // namespace valbrix
