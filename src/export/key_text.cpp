#include "export/key_text.h"

namespace valbrix {
namespace {

// Appended piece by piece: GCC 12 warns falsely about "literal" + std::string at -O3.
std::string bracketed(const std::string& name) {
    std::string text(1, '<');
    text += name;
    text += '>';
    return text;
}

struct NamedKey {
    std::uint8_t key;
    const char* text;
};

constexpr NamedKey namedKeys[] = {
    {VkShift, "<SHIFT>"},  {VkRightAlt, "<ALTGR>"}, {VkLeftControl, "<CTRL>"}, {VkCapital, "<CAPSLOCK>"},
    {VkTab, "<TAB>"},      {VkReturn, "<ENTER>"},   {VkLeft, "<LEFT>"},    {VkUp, "<UP>"},
    {VkRight, "<RIGHT>"},  {VkDown, "<DOWN>"},      {VkSpace, " "},        {VkDivide, "/"},
    {VkOemComma, ","},     {VkOemPeriod, "."},      {VkOemMinus, "-"},     {VkOemPlus, "+"},
};

std::string keyText(std::uint8_t key, bool shift, bool altGr) {
    if (key >= 'A' && key <= 'Z') {
        if (altGr && key == 'M') return "\xB5";
        return std::string(1, static_cast<char>(shift ? key : key - 'A' + 'a'));
    }
    if (key >= '0' && key <= '9') return std::string(1, shift && key == '5' ? '%' : static_cast<char>(key));
    for (const NamedKey& named : namedKeys)
        if (named.key == key) return named.text;
    return bracketed(std::to_string(key));
}

}  // namespace

std::string keyName(std::uint8_t virtualKey) { return keyText(virtualKey, false, false); }

std::string describeKeys(const KeyEvents& events) {
    std::string text;
    bool shift = false;
    bool altGr = false;
    bool ctrl = false;
    for (const KeyEvent& event : events) {
        const bool pressed = event.flags == KeyEventPress;
        switch (event.virtualKey) {
            case VkShift: shift = pressed; continue;
            case VkRightAlt: altGr = pressed; continue;
            case VkLeftControl: ctrl = pressed; continue;
            default: break;
        }
        if (!pressed) continue;
        const std::string typed = keyText(event.virtualKey, shift, altGr);
        if (ctrl) text += bracketed("CTRL+" + (typed.front() == '<' ? typed.substr(1, typed.size() - 2) : typed));
        else text += typed;
    }
    return text;
}

}  // namespace valbrix
