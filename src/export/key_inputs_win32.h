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
    // AltGr+M types µ (German, Austrian, Swiss ...). Elsewhere Right-Alt+M is Alt+M, which opens a
    // menu or a ribbon tab whose key tips then take the keys after it.
    bool muIsAltGrM = false;
};

// What the system answers for one of its layouts.
LayoutAnswers layoutAnswers(HKL layout);

// Whether VkKeyScanEx's answer for µ is M with Ctrl+Alt, which is how it reports AltGr+M.
bool typesMuWithAltGrM(SHORT keyScan);

// One record per key event, but µ goes out as the character itself where AltGr+M does not type it.
std::vector<INPUT> keyInputs(const KeyEvents& events, const LayoutAnswers& layout);

}  // namespace valbrix
