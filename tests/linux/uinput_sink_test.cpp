// The uinput keyboard through a recording device file: the device it makes, the events it writes for
// a reading and the state it leaves behind.
#include <gtest/gtest.h>

#include <linux/input-event-codes.h>

#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "export/key_sink_uinput.h"
#include "export/keystroke_emitter.h"
#include "recording_uinput_file.h"

namespace valbrix {
namespace {

using testing::RecordingUinputFile;

// Key (press 1, release 0) pairs as written, each followed by its own report.
std::vector<std::pair<int, int>> keysWritten(const std::vector<input_event>& events) {
    std::vector<std::pair<int, int>> keys;
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (events[i].type != EV_KEY) {
            ADD_FAILURE() << "event " << i << " is no key";
            continue;
        }
        keys.emplace_back(events[i].code, events[i].value);
        if (i + 1 >= events.size() || events[i + 1].type != EV_SYN || events[i + 1].code != SYN_REPORT)
            ADD_FAILURE() << "key event " << i << " is not reported at once";
        ++i;
    }
    return keys;
}

std::unique_ptr<UinputKeySink> openSink(RecordingUinputFile::Record& record, const char* layout,
                                        unsigned long refused = 0) {
    std::string why;
    return UinputKeySink::open(std::make_unique<RecordingUinputFile>(record, refused),
                               XkbKeyboard::fromNames(KeyboardNames{"", layout, "", ""}), why);
}

TEST(UinputKeySink, MakesAKeyboardWithTheKeysOfTheLayout) {
    RecordingUinputFile::Record record;
    const std::unique_ptr<UinputKeySink> sink = openSink(record, "de");
    ASSERT_NE(sink, nullptr);
    ASSERT_GE(record.requests.size(), 3u);
    EXPECT_EQ(record.requests.front(), static_cast<unsigned long>(UI_SET_EVBIT));
    EXPECT_EQ(record.requests[record.requests.size() - 2], static_cast<unsigned long>(UI_DEV_SETUP));
    EXPECT_EQ(record.requests.back(), static_cast<unsigned long>(UI_DEV_CREATE));
    EXPECT_EQ(record.name, "Valbrix virtual keyboard");
    for (const int key : {KEY_1, KEY_M, KEY_SLASH, KEY_COMMA, KEY_ENTER, KEY_LEFTSHIFT, KEY_TAB, KEY_KPSLASH})
        EXPECT_NE(std::find(record.keys.begin(), record.keys.end(), key), record.keys.end()) << key;
}

TEST(UinputKeySink, AReadingWithMicroAndEnterOnTheGermanLayout) {
    RecordingUinputFile::Record record;
    const std::unique_ptr<UinputKeySink> sink = openSink(record, "de");
    ASSERT_NE(sink, nullptr);
    KeyEvents events;
    typeText(events, "12,5 \xB5m", 1);
    sendSequence(events, "ENTER");
    sink->deliver(events);
    // AltGr is the level-three key of the layout (<LVL3>, input code 84), which holds it as the right
    // Alt key does.
    constexpr int altGr = 84;
    const std::vector<std::pair<int, int>> expected = {
        {KEY_1, 1},     {KEY_1, 0},     {KEY_2, 1},      {KEY_2, 0},     {KEY_COMMA, 1}, {KEY_COMMA, 0},
        {KEY_5, 1},     {KEY_5, 0},     {KEY_SPACE, 1},  {KEY_SPACE, 0}, {altGr, 1},     {KEY_M, 1},
        {KEY_M, 0},     {altGr, 0},     {KEY_M, 1},      {KEY_M, 0},     {KEY_ENTER, 1}, {KEY_ENTER, 0},
    };
    EXPECT_EQ(keysWritten(record.events), expected);
}

TEST(UinputKeySink, LeavesNoKeyDownAndRemovesTheDeviceAtTheEnd) {
    RecordingUinputFile::Record record;
    std::unique_ptr<UinputKeySink> sink = openSink(record, "us");
    ASSERT_NE(sink, nullptr);
    // A list cut off between press and release: Shift and A are still down at its end.
    sink->deliver({{VkShift, VkShift, KeyEventPress}, {'A', 'A', KeyEventPress}});
    const std::vector<std::pair<int, int>> released = {
        {KEY_LEFTSHIFT, 1}, {KEY_A, 1}, {KEY_A, 0}, {KEY_LEFTSHIFT, 0}};
    EXPECT_EQ(keysWritten(record.events), released);
    const std::size_t requestsBefore = record.requests.size();
    sink.reset();
    ASSERT_EQ(record.requests.size(), requestsBefore + 1);
    EXPECT_EQ(record.requests.back(), static_cast<unsigned long>(UI_DEV_DESTROY));
    EXPECT_EQ(record.events.size(), 8u);  // nothing more to release
}

// With a key delay every key event is followed by its pause, the releases the sink adds at the end of
// the list included, and the list still leaves no key down.
TEST(UinputKeySink, AKeyDelaySpacesEveryKeyEventAndStillReleasesAll) {
    RecordingUinputFile::Record record;
    const std::unique_ptr<UinputKeySink> sink = openSink(record, "de");
    ASSERT_NE(sink, nullptr);
    constexpr int delayMs = 20;
    sink->setKeyDelay(delayMs);
    KeyEvents events;
    typeText(events, "\xB5", 1);
    events.pop_back();  // AltGr's release is missing: the sink releases it at the end
    sink->deliver(events);
    constexpr int altGr = 84;
    const std::vector<std::pair<int, int>> expected = {{altGr, 1}, {KEY_M, 1}, {KEY_M, 0}, {altGr, 0}};
    EXPECT_EQ(keysWritten(record.events), expected);
    ASSERT_EQ(record.written.size(), 8u);
    for (std::size_t key = 2; key < record.written.size(); key += 2)
        EXPECT_GE(record.written[key] - record.written[key - 2], std::chrono::milliseconds(delayMs)) << key / 2;
}

TEST(UinputKeySink, AKernelThatRefusesTheDeviceGivesNoSink) {
    for (const unsigned long refused : std::initializer_list<unsigned long>{UI_SET_EVBIT, UI_DEV_SETUP, UI_DEV_CREATE}) {
        RecordingUinputFile::Record record;
        EXPECT_EQ(openSink(record, "us", refused), nullptr) << refused;
    }
    std::string why;
    EXPECT_EQ(openUinputFile("/nonexistent/uinput", why), nullptr);
    EXPECT_NE(why.find("/nonexistent/uinput"), std::string::npos) << why;
}

}  // namespace
}  // namespace valbrix
