// vorn.ini on Windows: its texts in the ANSI code page, and what the system
// gives a file (hidden and system attributes kept by a save; the read-only
// attribute and a lock protect it).

#include "config/GatherRules.h"
#include "config/SweepSettings.h"

#include <gtest/gtest.h>

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
    ASSERT_TRUE(settings.Save(dir.Dir() + SweepSettings::FileName));
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
    EXPECT_FALSE(settings.Save(dir.Dir() + SweepSettings::FileName));
    EXPECT_FALSE(fs::exists(IniPath()));
}

// A hidden vorn.ini stays hidden: the new file takes the old one's place
// and what its owner gave it.
TEST_F(SweepSettingsTest, SaveKeepsTheFilesAttributes) {
    settings.filepath = "D:\\logs\\";
    for (const DWORD given : {DWORD{FILE_ATTRIBUTE_HIDDEN}, DWORD{FILE_ATTRIBUTE_SYSTEM},
                              DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM}}) {
        dir.Write(SweepSettings::FileName, "[vorn]\r\nfilepath=C:\\old\r\n");
        ASSERT_TRUE(SetAttributes(IniPath(), given));
        EXPECT_TRUE(settings.Save(dir.Dir() + SweepSettings::FileName)) << given;
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
    EXPECT_FALSE(settings.Save(dir.Dir() + SweepSettings::FileName));
    EXPECT_EQ(AttributesOf(IniPath()) & FILE_ATTRIBUTE_READONLY, DWORD{FILE_ATTRIBUTE_READONLY});
    ASSERT_TRUE(SetAttributes(IniPath(), FILE_ATTRIBUTE_NORMAL));

    const HANDLE lock = CreateFileW(IniPath().wstring().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(settings.Save(dir.Dir() + SweepSettings::FileName));
    CloseHandle(lock);
    EXPECT_EQ(TempDir::Read(IniPath()), old);
    EXPECT_TRUE(OnlyIniInDir());
}

}  // namespace
