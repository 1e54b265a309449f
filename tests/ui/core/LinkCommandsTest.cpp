#include "ui/core/LinkCommands.h"
#include "ui/core/ResourceStrings.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

TEST(LinkAddress, TakesTheSecondLineWhenThereIsOneElseTheFirst)
{
    struct Case {
        const char* text;
        std::optional<std::string> address;
    };
    const Case cases[] = {
        {"www.example.net", "http://www.example.net"},
        {"访问软件官方网站\nvorn.example.org", "http://vorn.example.org"},
        {"host.example\n", "http://host.example"},
        {"first\n\nthird", "http://"},
        {"a\nb\nc", "http://b"},
        {"\nsecond", "http://second"},
        {"a\nb\n", "http://b"},
        {"", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LinkAddress(c.text), c.address) << c.text;
}

TEST(LinkCommands, EveryPortalOpensItsHost)
{
    std::set<std::string> distinct;
    for (const LinkMenuItem& item : PortalMenu()) {
        const std::optional<std::string> found = LinkCommandAddress(item.command);
        ASSERT_TRUE(found);
        const std::string& address = *found;
        EXPECT_EQ(address, "http://" + LoadResourceString(item.command));
        EXPECT_EQ(address.find('\n'), std::string::npos);
        EXPECT_EQ(address.find("://", 7), std::string::npos) << "the host carries no scheme of its own";
        EXPECT_FALSE(item.caption.empty());
        distinct.insert(address);
    }
    EXPECT_EQ(distinct.size(), PortalMenu().size());
}

TEST(LinkCommands, HomePageCommandOpensTheHostOnItsSecondLine)
{
    EXPECT_EQ(LinkCommandAddress(HomePageLinkCommand), std::string("http://") + HomePageHost);
    EXPECT_EQ(LoadResourceString(HomePageLinkCommand), std::string("访问软件官方网站\n") + HomePageHost);
    // The website button's address ends in a slash.
    EXPECT_EQ(HomePageAddress(), std::string("http://") + HomePageHost + "/");
}

TEST(LinkCommands, CommandsWithoutALinkDoNothing)
{
    for (int command : {32779, 32770, 32784, AboutMenuString, 0})
        EXPECT_EQ(LinkCommandAddress(command), std::nullopt) << command;
    EXPECT_EQ(LoadResourceString(32779), "");
}

TEST(LinkCommands, PortalMenuOrder)
{
    std::vector<int> commands;
    for (const LinkMenuItem& item : PortalMenu())
        commands.push_back(item.command);
    EXPECT_EQ(commands, (std::vector<int>{32772, 32771, 32773, 32774, 32775, 32776, 32777, 32780, 32781, 32782,
                                          32778}));
}

TEST(ResourceStrings, LongEntriesAreCutBetweenCharacters)
{
    // "关于 VORN(&A)..." starts with a three-byte character.
    struct Case {
        std::size_t maxBytes;
        std::string expected;
    };
    const Case cases[] = {{0, ""}, {2, ""}, {3, "关"}, {5, "关"}, {6, "关于"}, {7, "关于 "}};
    for (const Case& c : cases)
        EXPECT_EQ(LoadResourceString(AboutMenuString, c.maxBytes), c.expected) << c.maxBytes;
    EXPECT_EQ(LoadResourceString(AboutMenuString), "关于 VORN(&A)...");
}

}  // namespace
