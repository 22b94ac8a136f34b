#include "export/virtual_key_symbols.h"

#include <xkbcommon/xkbcommon-keysyms.h>

#include "export/key_event.h"

namespace valbrix {
namespace {

struct KeysymRow {
    std::uint8_t virtualKey;
    std::uint32_t keysym;
};

constexpr KeysymRow keysyms[] = {
    {VK_TAB, XKB_KEY_Tab},           {VK_RETURN, XKB_KEY_Return},   {VK_SHIFT, XKB_KEY_Shift_L},
    {VK_SPACE, XKB_KEY_space},       {VK_LEFT, XKB_KEY_Left},       {VK_UP, XKB_KEY_Up},
    {VK_RIGHT, XKB_KEY_Right},       {VK_DOWN, XKB_KEY_Down},       {VK_DIVIDE, XKB_KEY_KP_Divide},
    {VK_LCONTROL, XKB_KEY_Control_L}, {VK_RMENU, XKB_KEY_ISO_Level3_Shift}, {VK_OEM_PLUS, XKB_KEY_plus},
    {VK_OEM_COMMA, XKB_KEY_comma},   {VK_OEM_MINUS, XKB_KEY_minus}, {VK_OEM_PERIOD, XKB_KEY_period},
};

}  // namespace

std::uint32_t keysymForVirtualKey(std::uint8_t virtualKey) {
    if (virtualKey >= 'A' && virtualKey <= 'Z') return XKB_KEY_a + (virtualKey - 'A');
    if (virtualKey >= '0' && virtualKey <= '9') return XKB_KEY_0 + (virtualKey - '0');
    for (const KeysymRow& row : keysyms)
        if (row.virtualKey == virtualKey) return row.keysym;
    return XKB_KEY_NoSymbol;
}

}  // namespace valbrix
