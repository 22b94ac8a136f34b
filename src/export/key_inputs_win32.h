#pragma once
// What the Win32 key sink hands SendInput, made apart from the sink so that every record can be
// checked for any keyboard layout without typing into a window.

// <windows.h> before the core's keys on purpose: their names must live beside its VK_ macros.
#include <windows.h>

#include <functional>
#include <vector>

#include "export/key_event.h"

namespace valbrix {

// What the sink needs to know of the layout that types the keys.
struct LayoutAnswers {
    // The layout's scan code of a virtual key: remote sessions (RDP, Citrix) and virtual-machine
    // consoles forward the scan code, not the virtual key.
    std::function<WORD(BYTE virtualKey)> scanCode;
};

// What the system answers for one of its layouts.
LayoutAnswers layoutAnswers(HKL layout);

// One record per key event.
std::vector<INPUT> keyInputs(const KeyEvents& events, const LayoutAnswers& layout);

}  // namespace valbrix
