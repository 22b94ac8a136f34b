#pragma once

#include <windows.h>

#include <functional>
#include <span>

#include "export/key_event.h"

namespace valbrix {

// Key events through SendInput, into whichever window has the focus.
class Win32KeySink final : public KeySink {
public:
    // Hands records to the system, or to a test that keeps them.
    using InputSender = std::function<void(std::span<INPUT> inputs)>;

    explicit Win32KeySink(InputSender sender = sendInputs);

    // Windows types every key through the layout of the window that receives it, so that layout is
    // asked for the scan codes and for µ.
    UntypedKeys deliver(const KeyEvents& events) override;

private:
    static void sendInputs(std::span<INPUT> inputs);

    InputSender sender;
};

}  // namespace valbrix
