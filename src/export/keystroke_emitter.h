#pragma once
// Turns texts, key names and key sequences into key events. Keys, not characters, are sent: the
// character that arrives is the one the receiving layout puts on that key. Only digits adapt to the
// layout: with the French layout (keyboardLayout 3) they need Shift.

#include "export/key_event.h"

namespace valbrix {

inline constexpr int frenchKeyboardLayout = 3;

// A key code: -1 for none; bits 0-7 a virtual key, bit 8 hold Ctrl while it is pressed.
inline constexpr int NoKey = -1;
inline constexpr int WithCtrl = 256;

void pressKey(KeyEvents& out, int virtualKey);
// Characters outside the gauges' alphabet are skipped; µ is the byte 0xB5. With capsLock the letters
// still come out in the case they are written: Caps Lock turns a letter's case, and Shift turns it back.
void typeText(KeyEvents& out, const char* text, int keyboardLayout, bool capsLock = false);
// The key a name stands for; the name may sit anywhere in the text ("  tab " is TAB).
int keyFromName(const char* name);
// Comma-separated key names; unknown and empty names are skipped.
void sendSequence(KeyEvents& out, const char* sequence);

}  // namespace valbrix
