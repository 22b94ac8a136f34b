#include "export/key_sink_win32.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "export/key_inputs_win32.h"
#include "export/keystroke_emitter.h"
#include "key_records_win32.h"

namespace valbrix {
namespace {

using testing::KeyRecord;
using testing::keyRecords;

TEST(Win32KeySink, AListGoesOutAsOneBatchUnlessEveryKeyIsFollowedByAPause) {
    KeyEvents events;
    typeText(events, "12,5 \xB5m", 1);
    // Every window of wine types with its US layout, so µ goes out as the character: 14 records.
    const LayoutAnswers us = layoutAnswers(LoadKeyboardLayoutA("00000409", 0));
    const std::vector<KeyRecord> records = keyRecords(keyInputs(events, us));
    ASSERT_EQ(records.size(), 14u);
    struct Case {
        int keyDelayMs;
        std::vector<std::size_t> batchSizes;
    };
    const Case cases[] = {{0, {14}}, {1, std::vector<std::size_t>(14, 1)}};
    for (const Case& c : cases) {
        std::vector<std::vector<INPUT>> batches;
        Win32KeySink sink([&](std::span<INPUT> batch) { batches.emplace_back(batch.begin(), batch.end()); });
        sink.setKeyDelay(c.keyDelayMs);
        EXPECT_EQ(sink.deliver(events), UntypedKeys{});
        std::vector<std::size_t> sizes;
        std::vector<INPUT> sent;
        for (const std::vector<INPUT>& batch : batches) {
            sizes.push_back(batch.size());
            sent.insert(sent.end(), batch.begin(), batch.end());
        }
        EXPECT_EQ(sizes, c.batchSizes) << "key delay " << c.keyDelayMs;
        EXPECT_EQ(keyRecords(sent), records) << "key delay " << c.keyDelayMs;
    }
}

}  // namespace
}  // namespace valbrix
