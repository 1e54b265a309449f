#include "config/ConfigCheck.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "config/ConfigFile.h"
#include "config/GatherRules.h"
#include "config/SweepSettings.h"
#include "platform/ConfigText.h"
#include "support/PlatformSamples.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

// The lines of a sound file, as the program writes it; numbered from 1.
std::vector<std::string> GoodLines() {
    return {"[vorn]",      "filepath=" + AbsoluteRoot + "srv/logs", "filename=*.log", "regex=false",  "subdir=true", "system=false",
            "readonly=true", "hidden=true",      "dirtree=true",   "expiredays=7", "speed=1"};
}

std::string Join(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + end;
    return bytes;
}

// The sound file with line `number` replaced.
std::string WithLine(int number, const std::string& text) {
    std::vector<std::string> lines = GoodLines();
    lines[number - 1] = text;
    return Join(lines);
}

// The sound file with `text` put in as line `number`.
std::string WithInserted(int number, const std::string& text) {
    std::vector<std::string> lines = GoodLines();
    lines.insert(lines.begin() + (number - 1), text);
    return Join(lines);
}

std::string WithoutLine(int number) {
    std::vector<std::string> lines = GoodLines();
    lines.erase(lines.begin() + (number - 1));
    return Join(lines);
}

TEST(ConfigCheck, NamesTheFirstLineThatWouldNotReadAsWrittenIfAny) {
    struct Case {
        const char* what;
        std::string bytes;
        int line;  // -1: the file reads as written
        std::string key;
    };
    const std::string comment1022 = ";" + std::string(1021, 'c');  // with the LF before it, 1023 bytes read
    const std::string longComment = ";" + std::string(1100, 'c') + "filename=*";
    const Case cases[] = {
        {"as saved", Join(GoodLines()), -1, ""},
        {"CR only", Join(GoodLines(), "\r"), -1, ""},
        {"blank lines close the file", Join(GoodLines()) + "\r\n\r\n", -1, ""},
        {"comments", ";written by hand\r\n" + WithInserted(5, "; keep new files a week"), -1, ""},
        {"only the texts", "[vorn]\r\nfilepath=" + AbsoluteRoot + "x\r\nfilename=\r\n", -1, ""},
        {"largest day count", WithLine(10, "expiredays=2147483647"), -1, ""},
        {"no speed chosen", WithLine(11, "speed=-1"), -1, ""},
        {"longest values", WithLine(2, "filepath=" + AbsoluteRoot + std::string(200 - AbsoluteRoot.size(), 'd')), -1, ""},
        {"longest pattern", WithLine(3, "filename=" + std::string(200, '*')), -1, ""},
        {"longest line", WithInserted(2, comment1022), -1, ""},
        {"longest first line", std::string(";") + std::string(1022, 'c') + "\r\n" + Join(GoodLines()), -1, ""},
        {"blank line before a key", WithInserted(10, ""), 10, ""},
        {"blank line before spaces", Join(GoodLines()) + "\r\n  \r\n", 12, ""},
        {"line the reader splits", WithInserted(2, longComment), 2, ""},
        {"1023 bytes after CR LF", WithInserted(2, ";" + std::string(1022, 'c')), 2, ""},
        {"zero byte", WithLine(2, std::string("filepath=/srv\0/x", 16)), 2, ""},
        {"LF line ends", Join(GoodLines(), "\n"), 0, ""},
        {"one LF joins two lines", WithLine(2, "filepath=/srv/a\nfilename=*.log"), 2, ""},
        {"last line without its end", Join(GoodLines()).substr(0, Join(GoodLines()).size() - 2), 11, ""},
        {"other section", WithLine(1, "[VORN]"), 1, ""},
        {"second section", Join(GoodLines()) + "[vorn]\r\n", 12, ""},
        {"unsupported line", WithInserted(4, "bad line"), 4, ""},
        {"key before the section", "filepath=/x\r\n" + Join(GoodLines()), 1, "filepath"},
        {"key with a blank", WithLine(10, "expiredays =7"), 10, "expiredays "},
        {"key the reader cuts", WithInserted(3, std::string(60, 'k') + "=v"), 3, std::string(60, 'k')},
        {"repeated key", Join(GoodLines()) + "speed=3\r\n", 12, "speed"},
        {"no filepath", WithoutLine(2), 0, "filepath"},
        {"no filename", WithoutLine(3), 0, "filename"},
        {"first problem wins", WithLine(4, "regex=yes").append("speed=\r\n"), 4, "regex"},
    };
    for (const Case& c : cases) {
        const std::optional<ConfigProblem> problem = FindConfigProblem(c.bytes);
        if (c.line < 0) {
            EXPECT_FALSE(problem) << c.what << ": " << problem->Message();
            continue;
        }
        ASSERT_TRUE(problem) << c.what;
        EXPECT_EQ(problem->line, c.line) << c.what;
        EXPECT_EQ(problem->key, c.key) << c.what;
        EXPECT_FALSE(problem->what.empty()) << c.what;
    }
}

TEST(ConfigCheck, NamesAValueThatWouldNotStandAsWritten) {
    struct Case {
        int line;
        std::string key;
        std::vector<std::string> values;
    };
    const Case cases[] = {
        {2, "filepath", {AbsoluteRoot + std::string(201 - AbsoluteRoot.size(), 'd'), "tmp/x", ForeignDirectory, ""}},
        {3, "filename", {std::string(201, '*')}},
        {4, "regex", {"TRUE", "1", " true", ""}},
        {9, "dirtree", {"yes"}},
        {10, "expiredays", {"x30", "-5", "30d", "+7", " 7", "7 ", "", "2147483648"}},
        {11, "speed", {"fast", "1.5", "", "99999999999"}},
    };
    for (const Case& c : cases) {
        for (const std::string& value : c.values) {
            const std::optional<ConfigProblem> problem = FindConfigProblem(WithLine(c.line, c.key + "=" + value));
            ASSERT_TRUE(problem) << c.key << "=" << value;
            EXPECT_EQ(problem->line, c.line) << c.key << "=" << value;
            EXPECT_EQ(problem->key, c.key) << c.key << "=" << value;
        }
    }
}

// The mistakes editors and hand-writers make most, each named for what it is,
// after the file's full path.
TEST(ConfigCheck, MessageNamesThePathThenTheLineKeyOrForm) {
    const std::string utf8 = platform::ConfigEncodingName;
    const std::string utf16 = std::string("\xFF\xFE[\0v\0", 6);
    using Problem = ConfigFile::Problem;
    const struct {
        std::string bytes;
        std::string detail;
        Problem problem = Problem::None;  // what reading found; the rest: what the bytes say
    } cases[] = {
        {WithLine(10, "expiredays=-5"), "第10行 “expiredays” 必须是0到2147483647之间的十进制整数"},
        {WithInserted(10, ""), "第10行 空行之后还有内容，空行会结束读取"},
        {WithoutLine(2), "“filepath” 没有设置"},
        {Join(GoodLines(), "\n"), "行尾是LF(Unix格式)，必须是CR LF"},
        {"\xEF\xBB\xBF" + Join(GoodLines()), "文件以UTF-8的BOM(字节顺序标记)开头，必须另存为不带BOM的" + utf8},
        {utf16, "文件是UTF-16编码，必须另存为" + utf8},
        {std::string("[\0v\0", 4), "文件是UTF-16编码，必须另存为" + utf8},
        {std::string("[\0", 2), "文件是UTF-16编码，必须另存为" + utf8},
        {WithInserted(4, "# keep a week"), "第4行 “#”开头的行不是注释，注释必须以“;”开头"},
        {WithLine(1, "[vorn] "), "第1行 节名行在“]”之后还有字符(如空格)"},
        {WithLine(1, "[vorn"), "第1行 节名行缺少“]”"},
        {"\r\n" + Join(GoodLines()), "第1行 第一行是空行，读取会在这里结束"},
        // What is wrong with the file as a whole names no line.
        {"", "没有读取权限", Problem::Denied},
        {"", "无法读取", Problem::Unreadable},
        {"", "文件是UTF-8编码，含有系统代码页(ANSI)无法表示的字符", Problem::Uncarriable},
        {"", "文件是不带BOM的UTF-8编码，按系统代码页读取会读成别的字符: 请另存为ANSI，或带有BOM的UTF-8",
         Problem::UnmarkedUtf8},
    };
    for (const auto& c : cases) {
        ConfigFile file;
        file.path = AbsoluteRoot + "opt/vorn/vorn.ini";
        file.bytes = c.bytes;
        file.problem = c.problem;
        const std::optional<ConfigProblem> problem = CheckConfig(file);
        ASSERT_TRUE(problem) << c.detail;
        EXPECT_EQ(problem->Message(), "vorn.ini配置文件错误! " + file.path + ": " + c.detail);
    }
}

// Whatever the window lets through is saved as a file a scheduled run accepts.
TEST(ConfigCheck, WhatTheWindowSavesPasses) {
    struct Case {
        std::string directory;
        std::string pattern;
        bool flags;
        int days;
        int speed;
    };
    const Case cases[] = {
        {AbsoluteRoot + "srv/日志", "", true, 0, -1},
        {"  " + AbsoluteRoot + std::string(200 - AbsoluteRoot.size(), 'd') + " \t", std::string(200, '*'), false, INT_MAX, 3},
        {AbsoluteRoot + "a=b;c", "[x]=y;z \t", true, 7, 0},
        {AbsoluteRoot + "x", "   ", false, 1, 2},
    };
    for (const Case& c : cases) {
        WindowFields fields;
        fields.directory = c.directory;
        fields.pattern = c.pattern;
        fields.regexCheck = fields.subdirCheck = fields.spareSystemCheck = c.flags;
        fields.spareReadonlyCheck = fields.spareHiddenCheck = fields.keepStructureCheck = !c.flags;
        fields.days = c.days;
        fields.speed = c.speed;
        SweepSettings settings;
        ASSERT_EQ(ApplyGatherRules(fields, settings), "") << c.directory;
        const std::optional<ConfigProblem> problem = FindConfigProblem(settings.Serialize());
        EXPECT_FALSE(problem) << c.directory << ": " << problem->Message();
    }
}

TEST(ConfigCheck, ReadsTheFileBesideTheProgramUpTo64KiB) {
    TempDir dir;
    const std::string good = Join(GoodLines());
    const std::string comment = ";" + std::string(99, 'c');
    const fs::path ini = dir / SweepSettings::FileName;
    const struct {
        const char* what;
        std::function<void()> make;
        std::string problem;  // empty: none
    } cases[] = {
        {"missing", [] {}, "文件不存在"},
        {"a directory", [&] { fs::create_directory(ini); }, "不是普通文件(是目录、管道或设备)"},
        {"under 64 KiB", [&] { dir.Write(SweepSettings::FileName, good + Join(std::vector(600, comment))); }, ""},
        {"over 64 KiB", [&] { dir.Write(SweepSettings::FileName, good + Join(std::vector(700, comment))); }, "文件超过64KB"},
    };
    for (const auto& c : cases) {
        fs::remove_all(ini);
        c.make();
        const std::optional<ConfigProblem> problem = CheckConfig(ReadConfigFile(dir.Dir() + SweepSettings::FileName));
        EXPECT_EQ(problem ? problem->Message() : "", c.problem.empty() ? "" : "vorn.ini配置文件错误! " +
                                                                          TempDir::Utf8(ini) + ": " + c.problem)
            << c.what;
    }
}

}  // namespace
