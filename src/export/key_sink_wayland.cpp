#include "export/key_sink_wayland.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <chrono>
#include <cstring>

#include "virtual-keyboard-unstable-v1-client-protocol.h"

namespace valbrix {
namespace {

constexpr std::uint32_t keyPressed = 1;  // wl_keyboard.key_state
constexpr std::uint32_t keyReleased = 0;

// The protocol wants milliseconds on a clock of the client's choice, the same for every request.
std::uint32_t nowMs() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

// The keymap goes to the compositor as a file: an anonymous one in memory, with its terminating zero.
int keymapFile(const std::string& text) {
    const int fd = memfd_create("valbrix-keymap", MFD_CLOEXEC);
    if (fd < 0) return -1;
    const std::size_t size = text.size() + 1;
    if (write(fd, text.c_str(), size) != static_cast<ssize_t>(size)) {
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

// One connection to the compositor with the seat and, where offered, the virtual keyboard manager.
struct WaylandConnection {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_seat* seat = nullptr;
    zwp_virtual_keyboard_manager_v1* manager = nullptr;
    zwp_virtual_keyboard_v1* keyboard = nullptr;
    wl_keyboard* seatKeyboard = nullptr;
    std::uint32_t capabilities = 0;
    std::string seatKeymap;

    bool connect() {
        display = wl_display_connect(nullptr);
        if (display == nullptr) return false;
        registry = wl_display_get_registry(display);
        static const wl_registry_listener registryListener{announced, [](void*, wl_registry*, std::uint32_t) {}};
        wl_registry_add_listener(registry, &registryListener, this);
        if (wl_display_roundtrip(display) < 0 || seat == nullptr) return false;
        static const wl_seat_listener seatListener{
            [](void* data, wl_seat*, std::uint32_t given) { static_cast<WaylandConnection*>(data)->capabilities = given; },
            [](void*, wl_seat*, const char*) {}};
        wl_seat_add_listener(seat, &seatListener, this);
        return wl_display_roundtrip(display) >= 0;
    }

    // A seat without a keyboard has no keymap to give; asking for its keyboard would be an error.
    std::string readSeatKeymap() {
        if ((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) == 0) return {};
        seatKeyboard = wl_seat_get_keyboard(seat);
        static const wl_keyboard_listener keyboardListener{
            keymapArrived,
            [](void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {},
            [](void*, wl_keyboard*, std::uint32_t, wl_surface*) {},
            [](void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {},
            [](void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {},
            [](void*, wl_keyboard*, std::int32_t, std::int32_t) {}};
        wl_keyboard_add_listener(seatKeyboard, &keyboardListener, this);
        wl_display_roundtrip(display);
        return seatKeymap;
    }

    ~WaylandConnection() {
        if (keyboard != nullptr) zwp_virtual_keyboard_v1_destroy(keyboard);
        if (manager != nullptr) zwp_virtual_keyboard_manager_v1_destroy(manager);
        if (seatKeyboard != nullptr) wl_keyboard_destroy(seatKeyboard);
        if (seat != nullptr) wl_seat_destroy(seat);
        if (registry != nullptr) wl_registry_destroy(registry);
        if (display == nullptr) return;
        wl_display_roundtrip(display);
        wl_display_disconnect(display);
    }

private:
    static void announced(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                          std::uint32_t) {
        auto* self = static_cast<WaylandConnection*>(data);
        if (std::strcmp(interface, wl_seat_interface.name) == 0 && self->seat == nullptr)
            self->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0)
            self->manager = static_cast<zwp_virtual_keyboard_manager_v1*>(
                wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    }

    static void keymapArrived(void* data, wl_keyboard*, std::uint32_t format, std::int32_t fd, std::uint32_t size) {
        auto* self = static_cast<WaylandConnection*>(data);
        if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && size > 0) {
            void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
            if (mapped != MAP_FAILED) {
                const char* text = static_cast<const char*>(mapped);
                self->seatKeymap.assign(text, strnlen(text, size));
                munmap(mapped, size);
            }
        }
        close(fd);
    }
};

std::string seatKeymapText() {
    WaylandConnection connection;
    return connection.connect() ? connection.readSeatKeymap() : std::string();
}

std::unique_ptr<WaylandKeySink> WaylandKeySink::open(std::unique_ptr<XkbKeyboard> keyboard, std::string& why) {
    auto connection = std::make_unique<WaylandConnection>();
    if (!connection->connect()) {
        why = "no Wayland display with a seat";
        return nullptr;
    }
    if (connection->manager == nullptr) {
        why = "the compositor offers no virtual keyboard";
        return nullptr;
    }
    const std::string keymap = keyboard->keymapText();
    const int fd = keymapFile(keymap);
    if (fd < 0) {
        why = "the keymap could not be handed over";
        return nullptr;
    }
    connection->keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(connection->manager, connection->seat);
    zwp_virtual_keyboard_v1_keymap(connection->keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                   static_cast<std::uint32_t>(keymap.size() + 1));
    close(fd);
    // A compositor that keeps the protocol from this program ends the connection with an error.
    if (wl_display_roundtrip(connection->display) < 0) {
        why = "the compositor refused a virtual keyboard";
        return nullptr;
    }
    return std::unique_ptr<WaylandKeySink>(new WaylandKeySink(std::move(connection), std::move(keyboard)));
}

WaylandKeySink::WaylandKeySink(std::unique_ptr<WaylandConnection> connection, std::unique_ptr<XkbKeyboard> keyboard)
    : connection(std::move(connection)), keyboard(std::move(keyboard)) {}

WaylandKeySink::~WaylandKeySink() = default;

void WaylandKeySink::send(std::uint32_t code, bool down) {
    // Programs of the X server inside the Wayland session stamp keys as they arrive from the compositor:
    // the release goes out first, and the press after the gap, with its own later time too.
    if (pressRepeatsRelease(code, down)) {
        wl_display_flush(connection->display);
        pauseBeforeRepeatedPress();
    }
    zwp_virtual_keyboard_v1_key(connection->keyboard, nowMs(), code, down ? keyPressed : keyReleased);
    const XkbKeyboard::Modifiers after = keyboard->press(code, down);
    if (after != modifiers) {
        modifiers = after;
        zwp_virtual_keyboard_v1_modifiers(connection->keyboard, after.depressed, after.latched, after.locked,
                                          after.group);
    }
    // The requests wait in the connection's buffer until flushed: spaced keys must leave one by one.
    if (keyDelay() > 0) wl_display_flush(connection->display);
    pauseAfterKey();
}

UntypedKeys WaylandKeySink::deliver(const KeyEvents& events) {
    UntypedKeys untyped = sendAsKeys(events, *keyboard, [this](std::uint32_t code, bool down) { send(code, down); });
    wl_display_roundtrip(connection->display);
    return untyped;
}

}  // namespace valbrix
