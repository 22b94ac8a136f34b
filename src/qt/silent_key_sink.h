#pragma once
// Where the keystrokes go when there is no X server with the XTest extension to type through (a
// Wayland session without Xwayland): the program still shows every value, it just types nothing.

#include "export/key_event.h"

namespace valbrix {

class SilentKeySink final : public KeySink {
public:
    UntypedKeys deliver(const KeyEvents&) override { return {}; }
};

}  // namespace valbrix
