#pragma once
// What the export loop needs from the application around it. The loop runs on its own thread and
// never touches a window: every call here is handed to the user-interface thread or serialised by the
// application.

#include <string>

namespace valbrix {

// Controls of the main dialog that show the gauge and the last value, and those whose choices the
// loop follows.
enum DialogControl {
    DeviceLineControl = 1014,
    ValueTextControl = 1015,
    UnitTextControl = 1016,
    ControlKeyList = 1104,
    DecimalSeparatorList = 1108,
    UnitDisplayList = 1110,
    SequenceField = 1115,
};

// A text in both interface languages, German first.
struct TextPair {
    std::string german;
    std::string english;
    const std::string& in(int language) const { return language == 1 ? english : german; }
};

class ExportShell {
public:
    virtual ~ExportShell() = default;
    virtual void setControlText(int control, const std::string& text) = 0;
    virtual void repaint() = 0;
    virtual void hideToTray() = 0;
    // Chooses the tray picture and tip for the transfer and identification state.
    virtual void updateTrayIcon() = 0;
    // The tip pair a freshly added tray icon shows.
    virtual void setTrayTips(const TextPair& tips) = 0;
    virtual void setTrayTip(const std::string& tip) = 0;
};

}  // namespace valbrix
