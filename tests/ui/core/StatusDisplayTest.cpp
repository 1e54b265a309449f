#include "ui/core/StatusDisplay.h"

#include <gtest/gtest.h>

#include "sweep/StatusChannel.h"

namespace {

TEST(NextStatusUpdate, ColoursByKindAndKeepsTheTextForEmptyRecords) {
    const struct {
        StatusKind kind;
        const char* text;
        std::optional<std::uint32_t> colour;
        std::optional<std::string> shown;
    } cases[] = {
        {StatusKind::Info, "正在运行...", InfoColour, "正在运行..."},
        {StatusKind::Error, "无效文件名", ErrorColour, "无效文件名"},
        {StatusKind::Info, "", InfoColour, std::nullopt},
        {StatusKind::Error, "", ErrorColour, std::nullopt},
    };
    for (const auto& c : cases) {
        StatusChannel channel;
        channel.Push(c.kind, c.text);
        const StatusUpdate update = NextStatusUpdate(channel);
        EXPECT_EQ(update.colour, c.colour) << c.text;
        EXPECT_EQ(update.text, c.shown) << c.text;
    }
    StatusChannel empty;
    const StatusUpdate nothing = NextStatusUpdate(empty);
    EXPECT_FALSE(nothing.colour || nothing.text);
}

std::vector<std::string> Shown(StatusChannel& channel, int ticks) {
    std::vector<std::string> texts;
    for (int i = 0; i < ticks; ++i) texts.push_back(NextStatusUpdate(channel).text.value_or("-"));
    return texts;
}

// The oldest text is shown before the backlog is cut, so eleven waiting
// texts are all shown in turn while twelve jump to the newest two.
TEST(NextStatusUpdate, ABacklogOfMoreThanTenLeftAfterATickJumpsToTheNewestTwo) {
    for (int queued : {11, 12, 20}) {
        StatusChannel channel;
        for (int i = 1; i <= queued; ++i) channel.Push(StatusKind::Info, std::to_string(i));
        const std::vector<std::string> texts = Shown(channel, queued);
        if (queued == 11) {
            EXPECT_EQ(texts[1], "2");
            EXPECT_EQ(texts[10], "11");
        } else {
            const std::vector<std::string> jumped = {"1", std::to_string(queued - 1), std::to_string(queued), "-"};
            EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 4), jumped) << queued;
        }
    }
}

}  // namespace
