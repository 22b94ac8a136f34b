// Virtual keys as keys of a layout, the layout configured for the system, and the choice of the way
// of typing.
#include <gtest/gtest.h>

#include <linux/input-event-codes.h>
#include <stdlib.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "export/key_event.h"
#include "export/key_sink_choice.h"
#include "export/keyboard_names.h"
#include "export/typing_guard.h"
#include "export/virtual_key_symbols.h"
#include "export/x11_desk.h"
#include "export/xkb_keyboard.h"
#include "temp_folder.h"

namespace valbrix {
namespace {

std::unique_ptr<XkbKeyboard> layout(const char* name) { return XkbKeyboard::fromNames(KeyboardNames{"", name, "", ""}); }

TEST(XkbKeyboard, AVirtualKeyIsTheKeyOfTheLayoutThatCarriesItsSymbol) {
    struct Case {
        const char* layout;
        std::uint8_t virtualKey;
        std::uint32_t code;
    };
    const Case cases[] = {
        {"us", VkOemMinus, KEY_MINUS},        {"de", VkOemMinus, KEY_SLASH},
        {"us", 'Z', KEY_Z},                   {"de", 'Z', KEY_Y},
        // Plus is unshifted on the German layout; on the US one it sits shifted on the equals key.
        {"us", VkOemPlus, KEY_EQUAL},         {"de", VkOemPlus, KEY_RIGHTBRACE},
        // On the French layout the digits are shifted, which is why that layout types them with Shift.
        {"fr", '1', KEY_1},                   {"fr", VkOemComma, KEY_M},
        {"us", VkReturn, KEY_ENTER},          {"us", VkTab, KEY_TAB},
        {"us", VkDivide, KEY_KPSLASH},        {"us", VkShift, KEY_LEFTSHIFT},
        {"us", VkLeftControl, KEY_LEFTCTRL},  {"de", VkDown, KEY_DOWN},
        {"us", 200, 0},
    };
    for (const Case& c : cases) {
        const std::unique_ptr<XkbKeyboard> keyboard = layout(c.layout);
        ASSERT_NE(keyboard, nullptr) << c.layout;
        EXPECT_EQ(keyboard->inputCode(c.virtualKey), c.code) << c.layout << " " << int(c.virtualKey);
    }
}

TEST(XkbKeyboard, EveryVirtualKeyOfTheEmitterHasASymbolAndAKey) {
    const std::uint8_t keys[] = {VkTab,      VkReturn,   VkShift,     VkSpace,       VkLeft,     VkUp,
                                 VkRight,    VkDown,     VkDivide,    VkLeftControl, VkRightAlt, VkOemPlus,
                                 VkOemComma, VkOemMinus, VkOemPeriod, VkCapital,     '0',        '9', 'A', 'Z'};
    const std::unique_ptr<XkbKeyboard> keyboard = layout("de");
    for (const std::uint8_t key : keys) {
        EXPECT_NE(keysymForVirtualKey(key), 0u) << int(key);
        EXPECT_NE(keyboard->inputCode(key), 0u) << int(key);
    }
    EXPECT_EQ(keysymForVirtualKey(200), 0u);
}

TEST(XkbKeyboard, ModifiersFollowTheKeysGoingDownAndUp) {
    const std::unique_ptr<XkbKeyboard> keyboard = layout("de");
    constexpr std::uint32_t shift = 1;       // Shift
    constexpr std::uint32_t levelThree = 128;  // Mod5, which AltGr sets
    EXPECT_EQ(keyboard->press(keyboard->inputCode(VkShift), true).depressed, shift);
    EXPECT_EQ(keyboard->press(keyboard->inputCode(VkRightAlt), true).depressed, shift | levelThree);
    EXPECT_EQ(keyboard->press(keyboard->inputCode(VkShift), false).depressed, levelThree);
    EXPECT_EQ(keyboard->press(keyboard->inputCode('M'), true).depressed, levelThree);
    keyboard->reset();
    EXPECT_EQ(keyboard->press(keyboard->inputCode('M'), false), XkbKeyboard::Modifiers{});
}

TEST(XkbKeyboard, TheKeymapTextMakesTheSameKeyboardAgain) {
    const std::unique_ptr<XkbKeyboard> german = layout("de");
    const std::unique_ptr<XkbKeyboard> again = XkbKeyboard::fromKeymapText(german->keymapText());
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->inputCode(VkOemMinus), KEY_SLASH);
    EXPECT_EQ(XkbKeyboard::fromKeymapText("no keymap"), nullptr);
}

TEST(KeyboardNames, TheDefaultsFileAndTheEnvironment) {
    struct Case {
        const char* text;
        KeyboardNames names;
    };
    const Case cases[] = {
        {"XKBMODEL=\"pc105\"\nXKBLAYOUT=\"de\"\nXKBVARIANT=\"nodeadkeys\"\nXKBOPTIONS=\"\"\nBACKSPACE=\"guess\"\n",
         {"pc105", "de", "nodeadkeys", ""}},
        {"# XKBLAYOUT=\"fr\"\n  XKBLAYOUT = 'ch'\r\nXKBVARIANT=fr\n", {"", "ch", "fr", ""}},
        {"XKBLAYOUT\nXKBLAYOUT=\"us,de\"\n", {"", "us,de", "", ""}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(keyboardNamesFromDefaults(c.text), c.names) << c.text;

    testing::TempFolder folder;
    const std::string file = folder.path("keyboard");
    testing::writeFile(file, "XKBLAYOUT=\"de\"\nXKBVARIANT=\"nodeadkeys\"\n");
    unsetenv("XKB_DEFAULT_VARIANT");
    setenv("XKB_DEFAULT_LAYOUT", "fr", 1);
    EXPECT_EQ(configuredKeyboardNames(file.c_str()), (KeyboardNames{"", "fr", "nodeadkeys", ""}));
    unsetenv("XKB_DEFAULT_LAYOUT");
    EXPECT_EQ(configuredKeyboardNames(file.c_str()).layout, "de");
    EXPECT_EQ(configuredKeyboardNames(folder.path("missing").c_str()), KeyboardNames{});
}

TEST(KeySinkChoice, TheSessionComesFromTheEnvironment) {
    struct Case {
        const char* display;
        const char* waylandDisplay;
        DesktopSession session;
    };
    const Case cases[] = {
        {":0", nullptr, DesktopSession::X11},        {":0", "", DesktopSession::X11},
        {":0", "wayland-0", DesktopSession::Wayland}, {nullptr, "wayland-1", DesktopSession::Wayland},
        {nullptr, nullptr, DesktopSession::None},    {"", "", DesktopSession::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(desktopSession(c.display, c.waylandDisplay), c.session)
            << (c.display ? c.display : "-") << " " << (c.waylandDisplay ? c.waylandDisplay : "-");
}

struct NamedSink final : KeySink {
    explicit NamedSink(std::string name) : name(std::move(name)) {}
    UntypedKeys deliver(const KeyEvents&) override { return {}; }
    std::string name;
};

// What each candidate does when asked: opens, is missing, or is refused by the user it asks.
enum class Answer { Opens, Missing, RefusedByUser };

TEST(KeySinkChoice, TheFirstThatOpensIsTakenAndTheSearchEndsThereOrAtARefusal) {
    struct Case {
        std::vector<std::pair<std::string, Answer>> candidates;
        const char* chosen;  // nullptr: none
        std::vector<std::string> tried;
        std::vector<std::string> refusals;
        bool refusedByUser;
    };
    const Case cases[] = {
        {{{"keyboard", Answer::Missing}, {"portal", Answer::Opens}, {"uinput", Answer::Opens}},
         "portal", {"keyboard", "portal"}, {"keyboard: keyboard is missing"}, false},
        {{{"keyboard", Answer::Missing}, {"uinput", Answer::Missing}},
         nullptr, {"keyboard", "uinput"}, {"keyboard: keyboard is missing", "uinput: uinput is missing"}, false},
        // The user said no: the ways after it are not even looked at.
        {{{"keyboard", Answer::Missing}, {"portal", Answer::RefusedByUser}, {"uinput", Answer::Opens}},
         nullptr, {"keyboard", "portal"}, {"keyboard: keyboard is missing", "portal: the user said no"}, true},
        {{{"portal", Answer::RefusedByUser}}, nullptr, {"portal"}, {"portal: the user said no"}, true},
        {{}, nullptr, {}, {}, false},
    };
    for (const Case& c : cases) {
        std::vector<std::string> tried;
        std::vector<KeySinkCandidate> candidates;
        for (const auto& [name, answer] : c.candidates)
            candidates.push_back({name, [&tried, name = name, answer = answer](KeySinkRefusal& refusal)
                                            -> std::unique_ptr<KeySink> {
                                      tried.push_back(name);
                                      if (answer == Answer::Opens) return std::make_unique<NamedSink>(name);
                                      refusal.why = answer == Answer::Missing ? name + " is missing" : "the user said no";
                                      refusal.byUser = answer == Answer::RefusedByUser;
                                      return nullptr;
                                  }});
        const ChosenKeySink chosen = chooseKeySink(candidates);
        const std::string label = c.tried.empty() ? "none" : c.tried.back();
        if (c.chosen == nullptr) {
            EXPECT_EQ(chosen.sink, nullptr) << label;
        } else {
            ASSERT_NE(chosen.sink, nullptr) << label;
            EXPECT_EQ(chosen.name, c.chosen);
            EXPECT_EQ(static_cast<NamedSink&>(*chosen.sink).name, c.chosen);
        }
        EXPECT_EQ(tried, c.tried) << label;
        EXPECT_EQ(chosen.refusals, c.refusals) << label;
        EXPECT_EQ(chosen.refusedByUser, c.refusedByUser) << label;
    }
}

// The X server reports real modifiers; which of them Alt, AltGr and the Windows key are, the keymap's
// virtual modifiers say. Num Lock (Mod2 here) is none of them.
TEST(X11Desk, HeldKeysAreReadThroughTheKeymapsVirtualModifiers) {
    constexpr unsigned shift = 1, control = 4, mod1 = 8, mod2 = 16, mod4 = 64, mod5 = 128;
    const std::vector<VirtualModifier> keymap = {
        {"NumLock", mod2}, {"Alt", mod1}, {"Meta", mod1}, {"Super", mod4}, {"LevelThree", mod5}};
    struct Case {
        unsigned realMods;
        std::uint8_t held;
    };
    const Case cases[] = {
        {0, 0},          {mod2, 0},         {shift, HeldShift},         {control, HeldCtrl}, {mod1, HeldAlt},
        {mod4, HeldSuper}, {mod5, HeldAltGr}, {control | mod1 | mod2, HeldCtrl | HeldAlt},
    };
    for (const Case& c : cases) EXPECT_EQ(heldKeysOf(c.realMods, keymap), c.held) << c.realMods;
    // AltGr bound to Mod1 as on a layout whose right Alt is a plain Alt.
    EXPECT_EQ(heldKeysOf(mod1, {{"Alt", mod1}}), HeldAlt);
    EXPECT_EQ(heldKeysOf(mod5, {{"Alt", mod1}}), 0);
}

}  // namespace
}  // namespace valbrix
