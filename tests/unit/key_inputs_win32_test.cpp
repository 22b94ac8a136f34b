#include "export/key_inputs_win32.h"

#include <gtest/gtest.h>

#include <vector>

#include "export/keystroke_emitter.h"
#include "key_records_win32.h"

namespace valbrix {
namespace {

using testing::KeyRecord;
using testing::keyRecords;

HKL usLayout() { return LoadKeyboardLayoutA("00000409", 0); }

// wine has no German layout: LoadKeyboardLayout hands back its US one, whose VkKeyScanEx knows no µ.
// The keys of "12,5 µm" other than µ sit where the US layout has them, so the German answers are wine's
// scan codes with Windows' German µ on AltGr+M.
HKL germanLayout() { return LoadKeyboardLayoutA("00000407", 0); }

WORD scanCode(HKL layout, BYTE virtualKey) {
    return static_cast<WORD>(MapVirtualKeyExA(virtualKey, MAPVK_VK_TO_VSC, layout));
}

KeyRecord press(HKL layout, BYTE virtualKey, DWORD flags = 0) {
    return {virtualKey, scanCode(layout, virtualKey), flags};
}
KeyRecord release(HKL layout, BYTE virtualKey, DWORD flags = 0) {
    return {virtualKey, scanCode(layout, virtualKey), KEYEVENTF_KEYUP | flags};
}

// "12,5 " in either layout.
std::vector<KeyRecord> numberAndSpace(HKL layout) {
    return {press(layout, '1'),          release(layout, '1'),          press(layout, '2'), release(layout, '2'),
            press(layout, VK_OEM_COMMA), release(layout, VK_OEM_COMMA), press(layout, '5'), release(layout, '5'),
            press(layout, VK_SPACE),     release(layout, VK_SPACE)};
}

std::vector<KeyRecord> typedRecords(const char* text, const LayoutAnswers& layout) {
    KeyEvents events;
    typeText(events, text, 1);
    return keyRecords(keyInputs(events, layout));
}

TEST(Win32KeyInputs, WhereAltGrMTypesMuItStaysAltGrM) {
    const HKL layout = germanLayout();
    std::vector<KeyRecord> expected = numberAndSpace(layout);
    expected.insert(expected.end(),
                    {press(layout, VK_RMENU, KEYEVENTF_EXTENDEDKEY), press(layout, 'M'), release(layout, 'M'),
                     release(layout, VK_RMENU, KEYEVENTF_EXTENDEDKEY), press(layout, 'M'), release(layout, 'M')});
    const LayoutAnswers german{layoutAnswers(layout).scanCode, true};
    EXPECT_EQ(typedRecords("12,5 \xB5m", german), expected);
}

TEST(Win32KeyInputs, ElsewhereMuIsTypedAsTheCharacterWithoutRightAlt) {
    const HKL layout = usLayout();
    std::vector<KeyRecord> expected = numberAndSpace(layout);
    expected.insert(expected.end(), {{0, 0xB5, KEYEVENTF_UNICODE}, {0, 0xB5, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP},
                                     press(layout, 'M'), release(layout, 'M')});
    EXPECT_EQ(typedRecords("12,5 \xB5m", layoutAnswers(layout)), expected);
}

// Only the whole of Right-Alt press, M press, M release, Right-Alt release is µ; anything else goes out
// key for key.
TEST(Win32KeyInputs, OnlyTheWholeAltGrMIsTakenForMu) {
    const KeyEvent altDown{VK_RMENU, 18, KeyEventPress};
    const KeyEvent altUp{VK_RMENU, 18, KeyEventRelease};
    const KeyEvent mDown{'M', 'M', KeyEventPress};
    const KeyEvent mUp{'M', 'M', KeyEventRelease};
    struct Case {
        const char* what;
        KeyEvents events;
    };
    const Case cases[] = {
        {"another key", {altDown, {'N', 'N', KeyEventPress}, {'N', 'N', KeyEventRelease}, altUp}},
        {"M pressed twice", {altDown, mDown, mDown, altUp}},
        {"Right Alt pressed again", {altDown, mDown, mUp, altDown}},
        {"left Alt", {{VK_LMENU, VK_LMENU, KeyEventPress}, mDown, mUp, altUp}},
        {"cut short", {altDown, mDown, mUp}},
    };
    const HKL layout = usLayout();
    for (const Case& c : cases) {
        std::vector<KeyRecord> expected;
        for (const KeyEvent& event : c.events) {
            const DWORD extended = event.virtualKey == VK_RMENU ? KEYEVENTF_EXTENDEDKEY : 0;
            const WORD scan = scanCode(layout, event.virtualKey);
            expected.push_back({event.virtualKey, scan, event.flags | extended});
        }
        EXPECT_EQ(keyRecords(keyInputs(c.events, layoutAnswers(layout))), expected) << c.what;
    }
}

TEST(Win32KeyInputs, MuIsAltGrMOnlyWhereVkKeyScanSaysMWithCtrlAlt) {
    struct Case {
        SHORT keyScan;
        bool altGrM;
        const char* layout;
    };
    const Case cases[] = {
        {0x064D, true, "German: AltGr+M"},
        {-1, false, "US: no key"},
        {0x01DC, false, "French: Shift and the key of *"},
        {0x004D, false, "M alone"},
        {0x024D, false, "Ctrl+M"},
        {0x044D, false, "Alt+M"},
        {0x074D, false, "Shift+AltGr+M"},
        {0x0655, false, "AltGr+U"},
    };
    for (const Case& c : cases) EXPECT_EQ(typesMuWithAltGrM(c.keyScan), c.altGrM) << c.layout;
}

TEST(Win32KeyInputs, KeysSharingAScanCodeCarryTheExtendedFlag) {
    struct Case {
        BYTE virtualKey;
        bool extended;
    };
    const Case cases[] = {
        {VK_LEFT, true},      {VK_UP, true},     {VK_RIGHT, true}, {VK_DOWN, true},
        {VK_DIVIDE, true},    {VK_RMENU, true},  {VK_TAB, false},  {VK_RETURN, false},
        {VK_LCONTROL, false}, {VK_SHIFT, false}, {'7', false},     {VK_OEM_MINUS, false},
    };
    const HKL layout = usLayout();
    for (const Case& c : cases) {
        KeyEvents events;
        pressKey(events, c.virtualKey);
        const DWORD extended = c.extended ? KEYEVENTF_EXTENDEDKEY : 0;
        const std::vector<KeyRecord> expected = {press(layout, c.virtualKey, extended),
                                                 release(layout, c.virtualKey, extended)};
        EXPECT_EQ(keyRecords(keyInputs(events, layoutAnswers(layout))), expected) << int(c.virtualKey);
    }
}

}  // namespace
}  // namespace valbrix
