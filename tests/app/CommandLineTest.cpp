#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Path.h"

namespace {

std::string Joined(std::vector<const char*> args) {
    args.insert(args.begin(), "vorn");
    return JoinArguments(static_cast<int>(args.size()), args.data());
}

TEST(CommandLine, SilentRunOnlyForTheSwitchAlone) {
    for (const char* yes : {"/auto", "/AUTO", "/Auto", "  /auto  "}) {
        EXPECT_TRUE(SelectsSilentRun(Joined({yes}))) << yes;
    }
    EXPECT_TRUE(SelectsSilentRun(Joined({"", "/auto"})));  // joined as " /auto"
    for (const char* no : {"/auto x", "-auto", "auto", "/autox", "\t/auto", "/auto\t", ""}) {
        EXPECT_FALSE(SelectsSilentRun(Joined({no}))) << no;
    }
    EXPECT_FALSE(SelectsSilentRun(Joined({"/auto", "x"})));
}

TEST(CommandLine, ArgumentsAreJoinedBySingleSpaces) {
    EXPECT_EQ(Joined({}), "");
    EXPECT_EQ(Joined({"a", "b c", "d"}), "a b c d");
}

TEST(CommandLine, DirectoryKeepsItsTrailingSeparator) {
    const std::string s(1, platform::PathSeparator);
    EXPECT_EQ(DirectoryOf(s + "opt" + s + "vorn" + s + "vorn"), s + "opt" + s + "vorn" + s);
    EXPECT_EQ(DirectoryOf(s + "vorn"), s);
    EXPECT_EQ(DirectoryOf("vorn"), "");
    EXPECT_EQ(DirectoryOf(""), "");
}

}  // namespace
