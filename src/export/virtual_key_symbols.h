#pragma once
// The key symbol each virtual key stands for on Linux (X11 and xkb share the numbers): VkOemComma
// the comma, VkRightAlt the AltGr symbol, a letter key its lower-case letter. A sink types a virtual
// key by pressing the key of the user's layout that carries this symbol, so the character that
// arrives is the one that layout puts on that key, as on Windows.

#include <cstdint>

namespace valbrix {

// 0 when the virtual key has none.
std::uint32_t keysymForVirtualKey(std::uint8_t virtualKey);

}  // namespace valbrix
