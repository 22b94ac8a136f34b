#pragma once
// What the export loop needs from the application around it, said in what is shown rather than
// where. The loop runs on its own thread and never touches a window: every call here is handed to
// the user-interface thread or serialised by the application.

#include <cstdint>
#include <string>

#include "common/localized_text.h"
#include "export/key_event.h"
#include "export/typing_guard.h"

namespace valbrix {

class ExportShell {
public:
    virtual ~ExportShell() = default;
    // The gauge's name on screen.
    virtual void showDeviceLine(const std::string& name) = 0;
    // The last value as number text, and its unit text (possibly empty).
    virtual void showValueText(const std::string& text) = 0;
    virtual void showUnitText(const std::string& text) = 0;
    virtual void repaint() = 0;
    virtual void hideToTray() = 0;
    // Chooses the tray picture and tip for the transfer and identification state.
    virtual void updateTrayIcon() = 0;
    // The tip pair a freshly added tray icon shows.
    virtual void setTrayTips(const LocalizedText& tips) = 0;
    virtual void setTrayTip(const std::string& tip) = 0;
    // The key sink left these keys out: the current keyboard layout has no key that carries them.
    virtual void keysNotTyped(const UntypedKeys& keys) = 0;
    // The port's device has gone (true) or is back (false). A shell without a window has nothing to show.
    virtual void portLost(bool /*lost*/) {}
    // Values the gauge sent while the ring was full, so many since the start; never silently lost.
    virtual void valuesDropped(std::uint32_t /*count*/) {}
    // Values wait in the ring for this reason, or (None) are typed again.
    virtual void typingHeld(TypingHold /*hold*/) {}
};

}  // namespace valbrix
