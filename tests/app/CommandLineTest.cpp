#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    EXPECT_EQ(DirectoryOf("/opt/vorn/vorn"), "/opt/vorn/");
    EXPECT_EQ(DirectoryOf("/vorn"), "/");
    EXPECT_EQ(DirectoryOf("vorn"), "");
    EXPECT_EQ(DirectoryOf(""), "");
}

}  // namespace
