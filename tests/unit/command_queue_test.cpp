#include "gauge/command_queue.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace valbrix {
namespace {

TEST(CommandQueue, HoldsThirtyEightAndKeepsThePrefixOfQueueTime) {
    auto queue = std::make_unique<CommandQueue>();
    EXPECT_TRUE(queue->CommandQueueEmpty());
    for (int i = 0; i < 38; ++i) ASSERT_TRUE(queue->QueueCommand(i == 0 ? '/' : '?', "G00"));
    EXPECT_FALSE(queue->QueueCommand('?', "G00"));
    char out[1000];
    ASSERT_TRUE(queue->NextCommand(out, sizeof out));
    EXPECT_STREQ(out, "/G00");
    EXPECT_TRUE(queue->QueueCommand('@', "G170000"));
    for (int i = 0; i < 37; ++i) ASSERT_TRUE(queue->NextCommand(out, sizeof out));
    ASSERT_TRUE(queue->NextCommand(out, sizeof out));
    EXPECT_STREQ(out, "@G170000");
    EXPECT_FALSE(queue->NextCommand(out, sizeof out));
    EXPECT_STREQ(out, "");
}

TEST(CommandQueue, RefusesCommandsLongerThanTheSendBuffer) {
    auto queue = std::make_unique<CommandQueue>();
    const std::string longest(CommandQueue::longestCommand, 'G');
    EXPECT_FALSE(queue->QueueCommand('?', (longest + "0").c_str()));
    EXPECT_TRUE(queue->CommandQueueEmpty());
    EXPECT_TRUE(queue->QueueCommand('?', longest.c_str()));
    char out[1000];
    ASSERT_TRUE(queue->NextCommand(out, sizeof out));
    EXPECT_EQ(std::string(out), "?" + longest);
}

TEST(CommandQueue, SeveralProducersOneConsumer) {
    auto queue = std::make_unique<CommandQueue>();
    constexpr int perProducer = 2000;
    std::vector<std::thread> producers;
    for (int p = 0; p < 3; ++p) {
        producers.emplace_back([&queue, p] {
            for (int i = 0; i < perProducer; ++i) {
                const std::string text = "G" + std::to_string(p * perProducer + i);
                while (!queue->QueueCommand('?', text.c_str())) std::this_thread::yield();
            }
        });
    }
    std::set<std::string> seen;
    char out[1000];
    while (seen.size() < 3u * perProducer) {
        if (queue->NextCommand(out, sizeof out)) {
            ASSERT_TRUE(seen.insert(out).second) << out;
        }
    }
    for (std::thread& producer : producers) producer.join();
    EXPECT_TRUE(queue->CommandQueueEmpty());
}

}  // namespace
}  // namespace valbrix
