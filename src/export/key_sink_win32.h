#pragma once

#include "export/key_event.h"

namespace valbrix {

// Key events through keybd_event, into whichever window has the focus.
class Win32KeySink final : public KeySink {
public:
    // Windows types every virtual key through the layout of the window that receives it.
    UntypedKeys deliver(const KeyEvents& events) override;
};

}  // namespace valbrix
