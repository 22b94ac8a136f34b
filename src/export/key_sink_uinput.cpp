#include "export/key_sink_uinput.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>

namespace valbrix {
namespace {

constexpr const char* deviceName = "Valbrix virtual keyboard";

class DeviceFile final : public UinputFile {
public:
    explicit DeviceFile(int fd) : fd(fd) {}
    ~DeviceFile() override { close(fd); }
    bool control(unsigned long request, int argument) override { return ioctl(fd, request, argument) == 0; }
    bool setup(const uinput_setup& device) override { return ioctl(fd, UI_DEV_SETUP, &device) == 0; }
    bool write(const input_event& event) override {
        return ::write(fd, &event, sizeof event) == static_cast<ssize_t>(sizeof event);
    }

private:
    int fd;
};

input_event inputEvent(std::uint16_t type, std::uint16_t code, std::int32_t value) {
    input_event event{};
    event.type = type;
    event.code = code;
    event.value = value;
    return event;
}

}  // namespace

std::unique_ptr<UinputFile> openUinputFile(const char* path, std::string& why) {
    const int fd = ::open(path, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) return std::make_unique<DeviceFile>(fd);
    why = std::string(path) + ": " + std::strerror(errno);
    return nullptr;
}

std::unique_ptr<UinputKeySink> UinputKeySink::open(std::unique_ptr<UinputFile> file,
                                                   std::unique_ptr<XkbKeyboard> keyboard, std::string& why) {
    std::set<int> keys;
    for (int virtualKey = 0; virtualKey < 256; ++virtualKey)
        if (const std::uint32_t code = keyboard->inputCode(static_cast<std::uint8_t>(virtualKey)); code != 0)
            keys.insert(static_cast<int>(code));
    bool made = file->control(UI_SET_EVBIT, EV_KEY);
    for (const int key : keys) made = made && file->control(UI_SET_KEYBIT, key);
    uinput_setup device{};
    device.id.bustype = BUS_VIRTUAL;
    std::strncpy(device.name, deviceName, UINPUT_MAX_NAME_SIZE - 1);
    made = made && file->setup(device) && file->control(UI_DEV_CREATE, 0);
    if (!made) {
        why = "the kernel refused a uinput keyboard";
        return nullptr;
    }
    return std::unique_ptr<UinputKeySink>(new UinputKeySink(std::move(file), std::move(keyboard)));
}

UinputKeySink::UinputKeySink(std::unique_ptr<UinputFile> file, std::unique_ptr<XkbKeyboard> keyboard)
    : file(std::move(file)), keyboard(std::move(keyboard)) {}

// Every list is released whole by deliver(), so no key is down any more here.
UinputKeySink::~UinputKeySink() { file->control(UI_DEV_DESTROY, 0); }

UntypedKeys UinputKeySink::deliver(const KeyEvents& events) {
    return sendAsKeys(events, *keyboard, [this](std::uint32_t code, bool down) {
        // The kernel and the window system stamp each report as it arrives.
        if (pressRepeatsRelease(code, down)) pauseBeforeRepeatedPress();
        file->write(inputEvent(EV_KEY, static_cast<std::uint16_t>(code), down ? 1 : 0));
        file->write(inputEvent(EV_SYN, SYN_REPORT, 0));
        pauseAfterKey();
    });
}

}  // namespace valbrix
