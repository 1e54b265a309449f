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

TEST(CommandLine, SilentFormsOnlyForTheSwitchAndItsTwoWords) {
    const struct {
        std::vector<const char*> args;
        RunMode mode;
    } cases[] = {
        {{"/auto"}, RunMode::Silent},      {{"/AUTO"}, RunMode::Silent},
        {{"/Auto"}, RunMode::Silent},      {{"  /auto  "}, RunMode::Silent},
        {{"", "/auto"}, RunMode::Silent},  // joined as " /auto"
        {{"/auto", "/L"}, RunMode::ListOnly}, {{" /AUTO  /l "}, RunMode::ListOnly},
        {{"/auto", "/v"}, RunMode::Verbose},  {{"/Auto /V"}, RunMode::Verbose},
        {{"/auto x"}, RunMode::Window},    {{"-auto"}, RunMode::Window},
        {{"auto"}, RunMode::Window},       {{"/autox"}, RunMode::Window},
        {{"\t/auto"}, RunMode::Window},    {{"/auto\t"}, RunMode::Window},
        {{""}, RunMode::Window},           {{"/auto", "x"}, RunMode::Window},
        {{"/auto", "/l", "/v"}, RunMode::Window}, {{"/auto/l"}, RunMode::Window},
        {{"/auto", "\t/l"}, RunMode::Window}, {{"/l", "/auto"}, RunMode::Window},
    };
    for (const auto& c : cases) {
        const std::string joined = Joined(c.args);
        EXPECT_EQ(SelectRunMode(joined), c.mode) << "[" << joined << "]";
    }
}

TEST(CommandLine, MetricsFolderIsTakenOutOnceAndWhole) {
    const struct {
        std::vector<const char*> args;
        const char* joined;
        const char* folder;
    } cases[] = {
        {{"/auto", "/metrics:/var/lib/prometheus/node-exporter"}, "/auto", "/var/lib/prometheus/node-exporter"},
        {{"/METRICS:/srv/a b", "/auto", "/v"}, "/auto /v", "/srv/a b"},
        {{"/auto", "/metrics:"}, "/auto /metrics:", ""},
        {{"/auto", "/metrics:/a", "/metrics:/b"}, "/auto /metrics:/a /metrics:/b", ""},
        {{"/auto", "/metric:/a"}, "/auto /metric:/a", ""},
        {{"/auto /metrics:/a"}, "/auto /metrics:/a", ""},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv{"vorn"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const Arguments split = SplitArguments(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(split.joined, c.joined);
        EXPECT_EQ(split.metricsDir, c.folder) << c.joined;
    }
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
