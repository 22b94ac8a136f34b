#pragma once
// Key events through a virtual keyboard of the kernel's own (/dev/uinput), for Wayland desktops that
// offer neither a virtual-keyboard protocol nor the remote-desktop portal. The compositor reads the
// device like any keyboard and applies the user's layout to its keys, so the keys are chosen by that
// layout. The device file is a seam: tests record what would be written to it.

#include <linux/uinput.h>

#include <memory>
#include <string>

#include "export/key_event.h"
#include "export/xkb_keyboard.h"

namespace valbrix {

class UinputFile {
public:
    virtual ~UinputFile() = default;
    // An ioctl with a number or nothing as its argument: UI_SET_EVBIT, UI_SET_KEYBIT, UI_DEV_CREATE ...
    virtual bool control(unsigned long request, int argument) = 0;
    virtual bool setup(const uinput_setup& device) = 0;
    virtual bool write(const input_event& event) = 0;
};

// The device file, opened for writing; nullptr, with the reason in why, when it cannot be.
std::unique_ptr<UinputFile> openUinputFile(const char* path, std::string& why);

class UinputKeySink final : public KeySink {
public:
    // Makes a keyboard device with the keys the layout types the virtual keys with; nullptr, with the
    // reason in why, when the kernel refuses it.
    static std::unique_ptr<UinputKeySink> open(std::unique_ptr<UinputFile> file,
                                               std::unique_ptr<XkbKeyboard> keyboard, std::string& why);
    // Removes the device.
    ~UinputKeySink() override;
    UinputKeySink(const UinputKeySink&) = delete;
    UinputKeySink& operator=(const UinputKeySink&) = delete;

    // Each event goes out as its own report; at the end whatever the list pressed and left down is
    // released.
    UntypedKeys deliver(const KeyEvents& events) override;

private:
    UinputKeySink(std::unique_ptr<UinputFile> file, std::unique_ptr<XkbKeyboard> keyboard);

    std::unique_ptr<UinputFile> file;
    std::unique_ptr<XkbKeyboard> keyboard;
};

}  // namespace valbrix
