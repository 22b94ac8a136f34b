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

// wine has no German layout: LoadKeyboardLayout hands back its US one. The keys of "12,5 µm" sit where
// the US layout has them.
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

TEST(Win32KeyInputs, EveryKeyGoesOutWithTheLayoutsScanCode) {
    const HKL layout = germanLayout();
    std::vector<KeyRecord> expected = numberAndSpace(layout);
    expected.insert(expected.end(),
                    {press(layout, VK_RMENU, KEYEVENTF_EXTENDEDKEY), press(layout, 'M'), release(layout, 'M'),
                     release(layout, VK_RMENU, KEYEVENTF_EXTENDEDKEY), press(layout, 'M'), release(layout, 'M')});
    EXPECT_EQ(typedRecords("12,5 \xB5m", layoutAnswers(layout)), expected);
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
