#include "config/SweepSettings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "SweepSettingsFixture.h"
#include "config/ConfigFile.h"
#include "support/PlatformSamples.h"

namespace {

using namespace settingstest;
namespace fs = std::filesystem;

TEST_F(SweepSettingsTest, DefaultsAndTheirExactFile) {
    EXPECT_EQ(settings.speed, 1);
    EXPECT_EQ(settings.filepath, "");
    EXPECT_EQ(settings.filename, "*.*");
    EXPECT_TRUE(settings.subdir && settings.readonly && settings.hidden && settings.dirtree);
    EXPECT_FALSE(settings.system || settings.regex);
    EXPECT_EQ(settings.expiredays, 0);

    settings.filepath = "D:\\logs\\";
    ASSERT_TRUE(settings.Save(Ini()));
    EXPECT_EQ(TempDir::Read(IniPath()), DefaultFile);
    EXPECT_TRUE(OnlyIniInDir());
}

TEST_F(SweepSettingsTest, SaveThenLoadRoundTrips) {
    settings.filepath = "/srv/日志/";
    settings.filename = "^app-[0-9]+\\.log$";
    settings.regex = true;
    settings.subdir = false;
    settings.system = true;
    settings.readonly = false;
    settings.hidden = false;
    settings.dirtree = false;
    settings.expiredays = -3;
    settings.speed = 3;
    ASSERT_TRUE(settings.Save(Ini()));
    SweepSettings loaded;
    ASSERT_TRUE(loaded.Load(Ini()));
    EXPECT_EQ(loaded.Serialize(), settings.Serialize());
}

// A silent start learns everything from one read: the file swapped once it
// is read changes neither what is checked nor what is loaded.
TEST_F(SweepSettingsTest, SilentStartChecksAndLoadsTheSameRead) {
    const std::string head = "[vorn]\r\nfilepath=" + AbsoluteRoot + "srv\r\nfilename=*.log\r\n";
    const std::string sound = head + "expiredays=7\r\n";
    const std::string hidden = head + "\r\nexpiredays=7\r\n";  // the blank line ends the reading
    const struct {
        std::string read, swappedIn;
        int problemLine;  // 0: none
        int days;
    } cases[] = {{sound, hidden, 0, 7}, {hidden, sound, 4, 0}};
    for (const auto& c : cases) {
        dir.Write(SweepSettings::FileName, c.read);
        SweepSettings loaded;
        const StartupConfig config =
            LoadStartupConfig(Ini(), loaded, true, [&] { dir.Write(SweepSettings::FileName, c.swappedIn); });
        EXPECT_TRUE(config.loaded);
        EXPECT_EQ(config.problem ? config.problem->line : 0, c.problemLine);
        EXPECT_EQ(loaded.expiredays, c.days);
    }
}

TEST_F(SweepSettingsTest, MissingFileLeavesTheDefaults) {
    settings.speed = 2;
    EXPECT_FALSE(settings.Load(Ini()));
    EXPECT_EQ(settings.speed, 2);
    EXPECT_EQ(settings.filename, "*.*");
}

TEST_F(SweepSettingsTest, LoadReadsEachKeyAsWritten) {
    const auto numbers = [](const char* days, const char* speed) {
        return std::string("[vorn]\r\nexpiredays=") + days + "\r\nspeed=" + speed + "\r\n";
    };
    const struct {
        std::string bytes;
        void (*edit)(SweepSettings&);  // the keys that differ from a file with none
        int pause;
    } cases[] = {
        // Only the exact word true sets a flag.
        {"[vorn]\r\nregex=TRUE\r\nsubdir=1\r\nsystem=True\r\nreadonly= true\r\nhidden=yes\r\ndirtree=true\r\n",
         [](SweepSettings& s) { s.dirtree = true; }, 200},
        // Numbers read their leading integer.
        {numbers("abc", "7"), [](SweepSettings& s) { s.speed = 7; }, 200},
        {numbers("-3", ""), [](SweepSettings& s) { s.expiredays = -3; }, 200},
        {numbers(" 12days", "0"), [](SweepSettings& s) { s.expiredays = 12; s.speed = 0; }, 500},
        {numbers("+5", "2x"), [](SweepSettings& s) { s.expiredays = 5; s.speed = 2; }, 100},
        {numbers("99999999999", "3"), [](SweepSettings& s) { s.expiredays = 2147483647; s.speed = 3; }, 0},
        {numbers("", "-1"), [](SweepSettings& s) { s.speed = -1; }, 200},
        // Another section, or a blank line before the keys, leaves every key absent.
        {"[VORN]\r\nfilepath=/x\r\nsubdir=true\r\nspeed=3\r\n", [](SweepSettings&) {}, 200},
        {"[vorn]\r\n\r\nfilepath=/x\r\nsubdir=true\r\nspeed=3\r\n", [](SweepSettings&) {}, 200},
        // Texts are read back untrimmed, cut to 200 bytes.
        {"[vorn]\r\nfilepath=/" + std::string(250, 'd') + "\r\nfilename= *.log \r\n",
         [](SweepSettings& s) { s.filepath = "/" + std::string(199, 'd'); s.filename = " *.log "; }, 200},
    };
    for (const auto& c : cases) {
        SweepSettings loaded, want;
        want.filepath = want.filename = "";
        want.subdir = want.readonly = want.hidden = want.dirtree = false;
        c.edit(want);
        dir.Write(SweepSettings::FileName, c.bytes);
        ASSERT_TRUE(loaded.Load(Ini())) << c.bytes;
        EXPECT_EQ(loaded.Serialize(), want.Serialize()) << c.bytes;
        EXPECT_EQ(loaded.PauseMillis(), c.pause) << c.bytes;
    }
}

TEST_F(SweepSettingsTest, SavingOverALongerFileLeavesNothingOfIt) {
    dir.Write(SweepSettings::FileName, std::string(500, ';'));
    fs::permissions(IniPath(), fs::perms(0640));
    const fs::perms before = fs::status(IniPath()).permissions();
    settings.filepath = "D:\\logs\\";
    ASSERT_TRUE(settings.Save(Ini()));
    EXPECT_EQ(TempDir::Read(IniPath()), DefaultFile);
    EXPECT_EQ(fs::status(IniPath()).permissions(), before);
    EXPECT_TRUE(OnlyIniInDir());
}

TEST_F(SweepSettingsTest, ReadOnlyFileIsRefusedAndKept) {
    const std::string old = "[vorn]\r\nfilepath=/old\r\n";
    dir.Write(SweepSettings::FileName, old);
    fs::permissions(IniPath(), fs::perms(0444));
    settings.filepath = "/new";
    EXPECT_FALSE(settings.Save(Ini()));
    EXPECT_EQ(TempDir::Read(IniPath()), old);
    EXPECT_EQ(fs::status(IniPath()).permissions(), fs::perms(0444));
    EXPECT_TRUE(OnlyIniInDir());
}

TEST_F(SweepSettingsTest, StaleTemporaryFileDoesNotBlockASave) {
    dir.Write(std::string(SweepSettings::FileName) + ".tmp", "left by a crash");
    ASSERT_TRUE(settings.Save(Ini()));
    EXPECT_TRUE(OnlyIniInDir());
}

TEST_F(SweepSettingsTest, UnwritableDirectoryFailsTheSave) {
    fs::create_directory(dir / "gone");
    fs::remove(dir / "gone");
    EXPECT_FALSE(settings.Save((dir / "gone" / "").string()));
}

}  // namespace
