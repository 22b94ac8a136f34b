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
    {VkTab, XKB_KEY_Tab},                {VkReturn, XKB_KEY_Return},                {VkShift, XKB_KEY_Shift_L},
    {VkSpace, XKB_KEY_space},            {VkLeft, XKB_KEY_Left},                    {VkUp, XKB_KEY_Up},
    {VkRight, XKB_KEY_Right},            {VkDown, XKB_KEY_Down},                    {VkDivide, XKB_KEY_KP_Divide},
    {VkLeftControl, XKB_KEY_Control_L},  {VkRightAlt, XKB_KEY_ISO_Level3_Shift},    {VkOemPlus, XKB_KEY_plus},
    {VkCapital, XKB_KEY_Caps_Lock},      {VkOemComma, XKB_KEY_comma},         {VkOemMinus, XKB_KEY_minus},               {VkOemPeriod, XKB_KEY_period},
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
