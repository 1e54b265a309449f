#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Path.h"

namespace {

std::string Shown(const std::vector<std::string>& args) {
    std::string shown;
    for (const std::string& arg : args) shown += "[" + arg + "]";
    return shown;
}

TEST(CommandLine, SilentFormsOnlyForTheSwitchAndItsTwoWords) {
    const struct {
        std::vector<std::string> args;
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
        {{}, RunMode::Window},
        {{"/check"}, RunMode::Check},      {{" /CHECK "}, RunMode::Check},
        {{"/check", "/auto"}, RunMode::Window}, {{"/check", "/l"}, RunMode::Window},
        {{"/?"}, RunMode::Help},           {{"-h"}, RunMode::Help},
        {{"--help"}, RunMode::Help},       {{"--HELP"}, RunMode::Help},
        {{"/auto", "/?"}, RunMode::Window}, {{"/h"}, RunMode::Window},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseCommandLine(c.args).mode, c.mode) << Shown(c.args);
}

// "/ini:" and "/metrics:" are one argument each wherever they stand, so that
// a path may hold spaces; alone, or given twice, they are no command line at all.
TEST(CommandLine, ValuedSwitches) {
    const struct {
        std::vector<std::string> args;
        RunMode mode;
        std::string path, folder;
    } cases[] = {
        {{"/auto", "/ini:/etc/vorn/web.ini"}, RunMode::Silent, "/etc/vorn/web.ini", ""},
        {{"/INI:C:\\My Files\\web.ini", "/auto"}, RunMode::Silent, "C:\\My Files\\web.ini", ""},
        {{"/auto", "/Ini:web.ini", "/L"}, RunMode::ListOnly, "web.ini", ""},
        {{"/auto", "/v", "/ini:../a b.ini"}, RunMode::Verbose, "../a b.ini", ""},
        {{"/check", "/ini:web.ini"}, RunMode::Check, "web.ini", ""},
        {{"/ini:web.ini"}, RunMode::Window, "web.ini", ""},
        {{"/ini:/auto"}, RunMode::Window, "/auto", ""},
        {{"/ini:"}, RunMode::Invalid, "", ""},
        {{"/auto", "/ini:"}, RunMode::Invalid, "", ""},
        {{"/auto", "/ini:a.ini", "/ini:b.ini"}, RunMode::Invalid, "b.ini", ""},
        {{"/auto /ini:web.ini"}, RunMode::Window, "", ""},
        {{"/auto", " /ini:web.ini"}, RunMode::Window, "", ""},
        {{"/ini", "web.ini"}, RunMode::Window, "", ""},
        {{"/auto"}, RunMode::Silent, "", ""},
        {{"/auto", "/metrics:/var/lib/prometheus/node-exporter"}, RunMode::Silent, "", "/var/lib/prometheus/node-exporter"},
        {{"/METRICS:/srv/a b", "/auto", "/v"}, RunMode::Verbose, "", "/srv/a b"},
        {{"/auto", "/ini:/etc/vorn/web.ini", "/metrics:/m"}, RunMode::Silent, "/etc/vorn/web.ini", "/m"},
        {{"/auto", "/metrics:"}, RunMode::Invalid, "", ""},
        {{"/auto", "/metrics:/a", "/metrics:/b"}, RunMode::Invalid, "", "/b"},
        {{"/auto", "/metric:/a"}, RunMode::Window, "", ""},
        {{"/auto /metrics:/a"}, RunMode::Window, "", ""},
    };
    for (const auto& c : cases) {
        const CommandLine line = ParseCommandLine(c.args);
        EXPECT_EQ(line.mode, c.mode) << Shown(c.args);
        EXPECT_EQ(line.settingsPath, c.path) << Shown(c.args);
        EXPECT_EQ(line.metricsDir, c.folder) << Shown(c.args);
    }
}

TEST(CommandLine, DirectoryKeepsItsTrailingSeparator) {
    const std::string s(1, platform::PathSeparator);
    EXPECT_EQ(DirectoryOf(s + "opt" + s + "vorn" + s + "vorn"), s + "opt" + s + "vorn" + s);
    EXPECT_EQ(DirectoryOf(s + "vorn"), s);
    EXPECT_EQ(DirectoryOf("vorn"), "");
    EXPECT_EQ(DirectoryOf(""), "");
}

// A relative path is the working directory's; on Windows the forms that
// leave a drive or its folder to chance are refused, as they are for the root.
TEST(CommandLine, SettingsPathFromTheWorkingDirectory) {
    const std::string s(1, platform::PathSeparator);
    const std::string here = platform::FromWorkingDirectory("web.ini");
    ASSERT_TRUE(platform::IsAbsoluteDirectory(here)) << here;
    EXPECT_TRUE(here.ends_with(s + "web.ini")) << here;
    const std::string folder = here.substr(0, here.size() - std::string("web.ini").size());
    EXPECT_EQ(platform::FromWorkingDirectory("conf" + s + "a b.ini"), folder + "conf" + s + "a b.ini");
    const std::string absolute = platform::PathSeparator == '/' ? "/etc/vorn/web.ini" : "D:\\vorn\\web.ini";
    EXPECT_EQ(platform::FromWorkingDirectory(absolute), absolute);
    if (platform::PathSeparator == '/') return;
    for (const std::string refused : {"D:web.ini", "\\vorn\\web.ini", "D:"})
        EXPECT_EQ(platform::FromWorkingDirectory(refused), "") << refused;
    EXPECT_EQ(platform::FromWorkingDirectory("\\\\server\\share\\web.ini"), "\\\\server\\share\\web.ini");
}

}  // namespace
