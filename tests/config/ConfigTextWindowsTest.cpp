// vorn.ini on Windows: its texts in the ANSI code page, and what the system
// gives a file (hidden and system attributes kept by a save; the read-only
// attribute and a lock protect it).

#include "config/ConfigCheck.h"
#include "config/ConfigFile.h"
#include "config/GatherRules.h"
#include "config/SweepSettings.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "SweepSettingsFixture.h"
#include "support/WinFiles.h"

namespace {

using namespace settingstest;
namespace fs = std::filesystem;

const std::string LogsGbk = "D:\\\xC8\xD5\xD6\xBE";  // D:\日志 in code page 936

TEST_F(SweepSettingsTest, TextsAreReadAndWrittenInTheAnsiCodePage) {
    if (!ChineseCodePage()) GTEST_SKIP() << "needs code page 936";
    ASSERT_TRUE(LoadFile("[vorn]\r\nfilepath=" + LogsGbk + "\r\nfilename=\xC7\xE5\xC0\xED*.log\r\n"));
    EXPECT_EQ(settings.filepath, "D:\\日志");
    EXPECT_EQ(settings.filename, "清理*.log");
    ASSERT_TRUE(settings.Save(Ini()));
    const std::string saved = TempDir::Read(IniPath());
    EXPECT_NE(saved.find("filepath=" + LogsGbk + "\r\n"), std::string::npos) << saved;
}

TEST_F(SweepSettingsTest, TextsTheCodePageCannotCarryAreRefused) {
    if (!ChineseCodePage()) GTEST_SKIP() << "needs code page 936";
    WindowFields fields;
    fields.directory = "D:\\ก";
    EXPECT_EQ(ApplyGatherRules(fields, settings), UncarriableDirectoryText);
    fields.directory = "D:\\日志";
    fields.pattern = "😀*.log";
    EXPECT_EQ(ApplyGatherRules(fields, settings), UncarriablePatternText);
    // D:\x and 98 characters of two bytes each are 200 bytes in the file:
    // the most it keeps.
    fields.pattern = "";
    fields.directory = "D:\\x";
    for (int i = 0; i < 98; ++i) fields.directory += "日";
    EXPECT_EQ(ApplyGatherRules(fields, settings), "");
    fields.directory += "日";
    EXPECT_EQ(ApplyGatherRules(fields, settings), BadDirectoryText);

    settings.filepath = "D:\\ก";
    EXPECT_FALSE(settings.Save(Ini()));
    EXPECT_FALSE(fs::exists(IniPath()));
}

// Which reading of vorn.ini a run sweeps with. 小 is D0 A1 in code page 936,
// also valid UTF-8 (Cyrillic С): only a byte-order mark makes a file UTF-8,
// and a file without one that only UTF-8 makes sense of is refused.
TEST_F(SweepSettingsTest, FileIsReadInTheAnsiCodePageUnlessMarkedAsUtf8) {
    if (!ChineseCodePage()) GTEST_SKIP() << "needs code page 936";
    for (const char* folder : {"logs", "日志", "小", "both/小", "both/С"}) fs::create_directories(dir / folder);
    auto file = [this](const std::string& folder, const std::string& pattern) {
        return "[vorn]\r\nfilepath=" + TempDir::Utf8(dir.Path()) + "\\" + folder + "\r\nfilename=" + pattern +
               "\r\n";
    };
    using Problem = ConfigFile::Problem;
    const struct {
        const char* what;
        std::string bytes;
        Problem problem;
        const char* pattern;  // as read, where the file is taken
    } cases[] = {
        {"ANSI that also is UTF-8", Ansi(file("logs", "小*.log")), Problem::None, "小*.log"},
        {"ANSI naming a folder whose UTF-8 reading is another that exists", Ansi(file("both\\小", "小*.log")),
         Problem::None, "小*.log"},
        {"ANSI naming a folder that exists only as ANSI reads it", Ansi(file("小", "*.log")), Problem::None, "*.log"},
        {"UTF-8 that is no text of the code page", file("日志", "小*.log"), Problem::UnmarkedUtf8, ""},
        {"UTF-8 naming a folder that exists only as UTF-8 reads it", file("日志", "*.log"), Problem::UnmarkedUtf8, ""},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + file("日志", "小*.log"), Problem::None, "小*.log"},
        {"UTF-8 with its mark and a character the code page lacks", "\xEF\xBB\xBF" + file("日志", "ก*.log"),
         Problem::Uncarriable, ""},
    };
    for (const auto& c : cases) {
        dir.Write(SweepSettings::FileName, c.bytes);
        SweepSettings read;
        const StartupConfig config = LoadStartupConfig(Ini(), read, true);
        EXPECT_EQ(config.file.problem, c.problem) << c.what;
        if (c.problem != Problem::None) continue;
        EXPECT_FALSE(config.problem) << c.what << ": " << config.problem->Message();
        EXPECT_EQ(read.filename, c.pattern) << c.what;
    }
}

// What the window saves is what the next run reads, whatever characters the
// code page gives it.
TEST_F(SweepSettingsTest, TheWindowsOwnFileReadsBackAsSaved) {
    if (!ChineseCodePage()) GTEST_SKIP() << "needs code page 936";
    fs::create_directories(dir / "小");
    settings.filepath = TempDir::Utf8(dir / "小");
    for (const char* pattern : {"小*.log", "校位未路写些效.txt", "浣颁华", "[小校]\\.log"}) {
        settings.filename = pattern;
        ASSERT_TRUE(settings.Save(Ini())) << pattern;
        SweepSettings read;
        const StartupConfig config = LoadStartupConfig(Ini(), read, true);
        EXPECT_FALSE(config.problem) << pattern << ": " << config.problem->Message();
        EXPECT_EQ(read.filepath, settings.filepath) << pattern;
        EXPECT_EQ(read.filename, pattern);
    }
}

// A character whose trail byte is 5C, a backslash, does not end a name in
// the check: `\\誠\share` is a share.
TEST(ConfigCheckWindows, PathsAreJudgedByTheirCharactersNotTheirBytes) {
    const std::map<UINT, std::string> trailBackslash = {{932, "表"}, {936, "誠"}, {950, "許"}};
    const auto sample = trailBackslash.find(GetACP());
    if (sample == trailBackslash.end()) GTEST_SKIP() << "needs code page 932, 936 or 950";
    ASSERT_EQ(Ansi(sample->second).back(), '\\');
    for (const std::string& path : {"\\\\" + sample->second + "\\share", "\\\\server\\" + sample->second,
                                    "D:\\" + sample->second + "\\logs"}) {
        const std::string bytes = Ansi("[vorn]\r\nfilepath=" + path + "\r\nfilename=*\r\n");
        const auto problem = FindConfigProblem(bytes);
        EXPECT_FALSE(problem) << path << ": " << problem->Message();
    }
    const auto relative = FindConfigProblem(Ansi("[vorn]\r\nfilepath=\\" + sample->second + "\r\nfilename=*\r\n"));
    ASSERT_TRUE(relative);
    EXPECT_EQ(relative->key, "filepath");
}

// A hidden vorn.ini stays hidden: the new file takes the old one's place
// and what its owner gave it.
TEST_F(SweepSettingsTest, SaveKeepsTheFilesAttributes) {
    settings.filepath = "D:\\logs\\";
    for (const DWORD given : {DWORD{FILE_ATTRIBUTE_HIDDEN}, DWORD{FILE_ATTRIBUTE_SYSTEM},
                              DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM}}) {
        dir.Write(SweepSettings::FileName, "[vorn]\r\nfilepath=C:\\old\r\n");
        ASSERT_TRUE(SetAttributes(IniPath(), given));
        EXPECT_TRUE(settings.Save(Ini())) << given;
        EXPECT_EQ(AttributesOf(IniPath()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), given);
        EXPECT_EQ(TempDir::Read(IniPath()), DefaultFile) << given;
        EXPECT_TRUE(OnlyIniInDir()) << given;
        ASSERT_TRUE(SetAttributes(IniPath(), FILE_ATTRIBUTE_NORMAL));
    }
}

TEST_F(SweepSettingsTest, ReadOnlyOrLockedFileIsRefusedAndKept) {
    const std::string old = "[vorn]\r\nfilepath=C:\\old\r\n";
    dir.Write(SweepSettings::FileName, old);
    settings.filepath = "C:\\new";
    ASSERT_TRUE(SetAttributes(IniPath(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(settings.Save(Ini()));
    EXPECT_EQ(AttributesOf(IniPath()) & FILE_ATTRIBUTE_READONLY, DWORD{FILE_ATTRIBUTE_READONLY});
    ASSERT_TRUE(SetAttributes(IniPath(), FILE_ATTRIBUTE_NORMAL));

    const HANDLE lock = CreateFileW(IniPath().wstring().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(settings.Save(Ini()));
    CloseHandle(lock);
    EXPECT_EQ(TempDir::Read(IniPath()), old);
    EXPECT_TRUE(OnlyIniInDir());
}

}  // namespace
