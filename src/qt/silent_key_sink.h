#pragma once
// Where the keystrokes go when the desktop offers no way of typing: the program still shows every
// value, it just types nothing.

#include "export/key_event.h"

namespace valbrix {

class SilentKeySink final : public KeySink {
public:
    UntypedKeys deliver(const KeyEvents&) override { return {}; }
};

}  // namespace valbrix
