#include "export/key_sink_win32.h"

#include <windows.h>

namespace valbrix {

UntypedKeys Win32KeySink::deliver(const KeyEvents& events) {
    for (const KeyEvent& event : events) keybd_event(event.virtualKey, event.scanCode, event.flags, 0);
    return {};
}

}  // namespace valbrix
