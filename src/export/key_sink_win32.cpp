// <windows.h> first on purpose: the core's key names must live beside its VK_ macros.
#include <windows.h>

#include "export/key_sink_win32.h"

namespace valbrix {

// The core's key codes are the Windows ones; keybd_event takes them as they are.
static_assert(VkTab == VK_TAB && VkReturn == VK_RETURN && VkShift == VK_SHIFT && VkSpace == VK_SPACE);
static_assert(VkLeft == VK_LEFT && VkUp == VK_UP && VkRight == VK_RIGHT && VkDown == VK_DOWN);
static_assert(VkDivide == VK_DIVIDE && VkLeftControl == VK_LCONTROL && VkRightAlt == VK_RMENU);
static_assert(VkOemPlus == VK_OEM_PLUS && VkOemComma == VK_OEM_COMMA && VkOemMinus == VK_OEM_MINUS &&
              VkOemPeriod == VK_OEM_PERIOD);
static_assert(KeyEventRelease == KEYEVENTF_KEYUP);

UntypedKeys Win32KeySink::deliver(const KeyEvents& events) {
    for (const KeyEvent& event : events) {
        keybd_event(event.virtualKey, event.scanCode, event.flags, 0);
        pauseAfterKey();
    }
    return {};
}

}  // namespace valbrix
