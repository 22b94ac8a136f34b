#include "export/xkb_keyboard.h"

#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "export/virtual_key_symbols.h"

namespace valbrix {
namespace {

// xkb numbers keys as the X server does: the Linux input code plus 8.
constexpr std::uint32_t xkbCodeOffset = 8;

struct ContextDeleter {
    void operator()(xkb_context* context) const { xkb_context_unref(context); }
};
struct KeymapDeleter {
    void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
};
struct StateDeleter {
    void operator()(xkb_state* state) const { xkb_state_unref(state); }
};

std::unique_ptr<xkb_context, ContextDeleter> newContext() {
    return std::unique_ptr<xkb_context, ContextDeleter>(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
}

const char* orNull(const std::string& name) { return name.empty() ? nullptr : name.c_str(); }

// The lowest level first, then the lowest key, as XKeysymToKeycode searches: on a German layout '+'
// is the unshifted plus key, on a US layout the plus sits shifted on the equals key, which is taken.
xkb_keycode_t keyWithSymbol(xkb_keymap* keymap, xkb_keysym_t wanted) {
    const xkb_keycode_t first = xkb_keymap_min_keycode(keymap);
    const xkb_keycode_t last = xkb_keymap_max_keycode(keymap);
    xkb_level_index_t levels = 1;
    for (xkb_keycode_t key = first; key <= last; ++key)
        if (xkb_keymap_num_layouts_for_key(keymap, key) > 0)
            levels = std::max(levels, xkb_keymap_num_levels_for_key(keymap, key, 0));
    for (xkb_level_index_t level = 0; level < levels; ++level) {
        for (xkb_keycode_t key = first; key <= last; ++key) {
            if (xkb_keymap_num_layouts_for_key(keymap, key) == 0) continue;
            const xkb_keysym_t* symbols = nullptr;
            const int count = xkb_keymap_key_get_syms_by_level(keymap, key, 0, level, &symbols);
            for (int i = 0; i < count; ++i)
                if (symbols[i] == wanted) return key;
        }
    }
    return XKB_KEYCODE_INVALID;
}

}  // namespace

struct XkbKeyboard::Xkb {
    std::unique_ptr<xkb_context, ContextDeleter> context;
    std::unique_ptr<xkb_keymap, KeymapDeleter> keymap;
    std::unique_ptr<xkb_state, StateDeleter> state;
};

XkbKeyboard::XkbKeyboard(std::unique_ptr<Xkb> compiled) : xkb(std::move(compiled)) {
    for (int virtualKey = 0; virtualKey < 256; ++virtualKey) {
        const xkb_keysym_t symbol = keysymForVirtualKey(static_cast<std::uint8_t>(virtualKey));
        if (symbol == XKB_KEY_NoSymbol) continue;
        const xkb_keycode_t key = keyWithSymbol(xkb->keymap.get(), symbol);
        if (key != XKB_KEYCODE_INVALID && key >= xkbCodeOffset) codes[virtualKey] = key - xkbCodeOffset;
    }
}

XkbKeyboard::~XkbKeyboard() = default;

std::unique_ptr<XkbKeyboard> XkbKeyboard::fromKeymapText(const std::string& text) {
    auto xkb = std::make_unique<Xkb>();
    xkb->context = newContext();
    if (!xkb->context) return nullptr;
    xkb->keymap.reset(xkb_keymap_new_from_buffer(xkb->context.get(), text.data(), text.size(),
                                                 XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!xkb->keymap) return nullptr;
    xkb->state.reset(xkb_state_new(xkb->keymap.get()));
    if (!xkb->state) return nullptr;
    return std::unique_ptr<XkbKeyboard>(new XkbKeyboard(std::move(xkb)));
}

std::unique_ptr<XkbKeyboard> XkbKeyboard::fromNames(const KeyboardNames& names) {
    auto xkb = std::make_unique<Xkb>();
    xkb->context = newContext();
    if (!xkb->context) return nullptr;
    const xkb_rule_names rules{nullptr, orNull(names.model), orNull(names.layout), orNull(names.variant),
                               orNull(names.options)};
    xkb->keymap.reset(xkb_keymap_new_from_names(xkb->context.get(), &rules, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!xkb->keymap) return nullptr;
    xkb->state.reset(xkb_state_new(xkb->keymap.get()));
    if (!xkb->state) return nullptr;
    return std::unique_ptr<XkbKeyboard>(new XkbKeyboard(std::move(xkb)));
}

std::uint32_t XkbKeyboard::inputCode(std::uint8_t virtualKey) const { return codes[virtualKey]; }

std::string XkbKeyboard::keymapText() const {
    char* text = xkb_keymap_get_as_string(xkb->keymap.get(), XKB_KEYMAP_FORMAT_TEXT_V1);
    if (text == nullptr) return {};
    std::string copy(text);
    std::free(text);
    return copy;
}

XkbKeyboard::Modifiers XkbKeyboard::press(std::uint32_t inputCode, bool down) {
    xkb_state* state = xkb->state.get();
    xkb_state_update_key(state, inputCode + xkbCodeOffset, down ? XKB_KEY_DOWN : XKB_KEY_UP);
    return Modifiers{xkb_state_serialize_mods(state, XKB_STATE_MODS_DEPRESSED),
                     xkb_state_serialize_mods(state, XKB_STATE_MODS_LATCHED),
                     xkb_state_serialize_mods(state, XKB_STATE_MODS_LOCKED),
                     xkb_state_serialize_layout(state, XKB_STATE_LAYOUT_EFFECTIVE)};
}

void XkbKeyboard::reset() { xkb->state.reset(xkb_state_new(xkb->keymap.get())); }

UntypedKeys sendAsKeys(const KeyEvents& events, const XkbKeyboard& keyboard,
                       const std::function<void(std::uint32_t code, bool down)>& send) {
    std::vector<std::uint32_t> down;
    UntypedKeys untyped;
    for (const KeyEvent& event : events) {
        const std::uint32_t code = keyboard.inputCode(event.virtualKey);
        if (code == 0) {
            if (std::find(untyped.begin(), untyped.end(), event.virtualKey) == untyped.end())
                untyped.push_back(event.virtualKey);
            continue;
        }
        const bool press = event.flags == KeyEventPress;
        send(code, press);
        if (press) down.push_back(code);
        else std::erase(down, code);
    }
    for (auto code = down.rbegin(); code != down.rend(); ++code) send(*code, false);
    return untyped;
}

}  // namespace valbrix
