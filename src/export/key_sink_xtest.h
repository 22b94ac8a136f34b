#pragma once
// Key events through the XTest extension of an X server. Each virtual key becomes the key of the
// current keyboard map that carries the same symbol (VkOemComma the comma key, VkRightAlt the AltGr
// key ...), so the character that arrives is the one the receiving layout puts on that key, as on
// Windows.

#include <memory>

#include "export/key_event.h"

namespace valbrix {

class XTestKeySink final : public KeySink {
public:
    // nullptr when the display cannot be opened or lacks XTest. displayName nullptr: $DISPLAY.
    static std::unique_ptr<XTestKeySink> open(const char* displayName = nullptr);
    ~XTestKeySink() override;
    XTestKeySink(const XTestKeySink&) = delete;
    XTestKeySink& operator=(const XTestKeySink&) = delete;

    // Flushes after every event, and releases at the end whatever the list pressed and left down.
    UntypedKeys deliver(const KeyEvents& events) override;

private:
    explicit XTestKeySink(void* display) : display(display) {}
    void send(unsigned keycode, bool press);
    void* display;  // the sink's own connection, used by the export thread alone
};

}  // namespace valbrix
