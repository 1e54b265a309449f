#include "sweep/StatusChannel.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

void PushNumbered(StatusChannel& channel, int count) {
    for (int i = 0; i < count; ++i) channel.Push(StatusKind::Info, std::to_string(i));
}

TEST(StatusChannelTest, RecordsComeOutInTheOrderPushedThenNone) {
    StatusChannel channel;
    const StatusRecord none = channel.Take();
    EXPECT_EQ(none.kind, StatusKind::None);
    EXPECT_EQ(none.text, "");
    channel.Push(StatusKind::Info, "first");
    channel.Push(StatusKind::Error, "second");
    const StatusRecord first = channel.Take();
    const StatusRecord second = channel.Take();
    EXPECT_EQ(first.kind, StatusKind::Info);
    EXPECT_EQ(first.text, "first");
    EXPECT_EQ(second.kind, StatusKind::Error);
    EXPECT_EQ(second.text, "second");
    EXPECT_EQ(channel.Take().kind, StatusKind::None);
}

TEST(StatusChannelTest, TrimKeepsTheNewestOnlyAboveTenWaiting) {
    const struct {
        int waiting;
        std::string next;  // what Take gives after TrimOldest(2)
    } cases[] = {{11, "9"}, {10, "0"}, {3, "0"}, {0, ""}};
    for (const auto& c : cases) {
        StatusChannel channel;
        PushNumbered(channel, c.waiting);
        channel.TrimOldest(2);
        EXPECT_EQ(channel.Take().text, c.next) << c.waiting;
    }
}

TEST(StatusChannelTest, OneThreadPushesWhileAnotherTakes) {
    constexpr int count = 2000;
    StatusChannel channel;
    std::thread worker(PushNumbered, std::ref(channel), count);
    for (int expected = 0; expected < count;) {
        const StatusRecord record = channel.Take();
        if (record.kind == StatusKind::None) continue;
        ASSERT_EQ(record.text, std::to_string(expected++));
    }
    worker.join();
}

}  // namespace
