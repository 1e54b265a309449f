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
    ASSERT_TRUE(settings.Save(dir.Dir() + SweepSettings::FileName));
    EXPECT_EQ(TempDir::Read(IniPath()), DefaultFile);
    EXPECT_EQ(fs::file_size(IniPath()), 146u);
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
    ASSERT_TRUE(settings.Save(dir.Dir() + SweepSettings::FileName));
    SweepSettings loaded;
    ASSERT_TRUE(loaded.Load(dir.Dir() + SweepSettings::FileName));
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
        const StartupConfig config = LoadStartupConfig(dir.Dir() + SweepSettings::FileName, loaded, true, [&] {
            dir.Write(SweepSettings::FileName, c.swappedIn);
        });
        EXPECT_TRUE(config.loaded);
        EXPECT_EQ(config.problem ? config.problem->line : 0, c.problemLine);
        EXPECT_EQ(loaded.expiredays, c.days);
    }
}

TEST_F(SweepSettingsTest, MissingFileLeavesTheDefaults) {
    settings.speed = 2;
    EXPECT_FALSE(settings.Load(dir.Dir() + SweepSettings::FileName));
    EXPECT_EQ(settings.speed, 2);
    EXPECT_EQ(settings.filename, "*.*");
}

TEST_F(SweepSettingsTest, OnlyTheExactWordTrueSetsAFlag) {
    ASSERT_TRUE(LoadFile("[vorn]\r\nregex=TRUE\r\nsubdir=1\r\nsystem=True\r\nreadonly= true\r\n"
                         "hidden=yes\r\ndirtree=true\r\n"));
    EXPECT_FALSE(settings.regex || settings.subdir || settings.system || settings.readonly || settings.hidden);
    EXPECT_TRUE(settings.dirtree);
}

TEST_F(SweepSettingsTest, NumbersReadTheirLeadingInteger) {
    struct Case { const char* days; const char* speed; int expiredays; int speedValue; int pause; };
    const Case cases[] = {
        {"expiredays=abc", "speed=7", 0, 7, 200},
        {"expiredays=-3", "speed=", -3, 1, 200},
        {"expiredays= 12days", "speed=0", 12, 0, 500},
        {"expiredays=+5", "speed=2x", 5, 2, 100},
        {"expiredays=99999999999", "speed=3", 2147483647, 3, 0},
        {"expiredays=", "speed=-1", 0, -1, 200},
    };
    for (const Case& c : cases) {
        SweepSettings s;
        dir.Write(SweepSettings::FileName, std::string("[vorn]\r\n") + c.days + "\r\n" + c.speed + "\r\n");
        ASSERT_TRUE(s.Load(dir.Dir() + SweepSettings::FileName));
        EXPECT_EQ(s.expiredays, c.expiredays) << c.days;
        EXPECT_EQ(s.speed, c.speedValue) << c.speed;
        EXPECT_EQ(s.PauseMillis(), c.pause) << c.speed;
    }
}

TEST_F(SweepSettingsTest, OtherSectionOrEarlyBlankLineReadsAsAbsentKeys) {
    for (const char* bytes : {"[VORN]\r\nfilepath=/x\r\nsubdir=true\r\nspeed=3\r\n",
                              "[vorn]\r\n\r\nfilepath=/x\r\nsubdir=true\r\nspeed=3\r\n"}) {
        SweepSettings s;
        dir.Write(SweepSettings::FileName, bytes);
        ASSERT_TRUE(s.Load(dir.Dir() + SweepSettings::FileName));
        EXPECT_EQ(s.filepath, "");
        EXPECT_EQ(s.filename, "");
        EXPECT_FALSE(s.subdir || s.system || s.readonly || s.hidden || s.dirtree || s.regex);
        EXPECT_EQ(s.expiredays, 0);
        EXPECT_EQ(s.speed, 1);
    }
}

TEST_F(SweepSettingsTest, ValuesAreReadBackCutTo200Bytes) {
    ASSERT_TRUE(LoadFile("[vorn]\r\nfilepath=/" + std::string(250, 'd') + "\r\nfilename= *.log \r\n"));
    EXPECT_EQ(settings.filepath, "/" + std::string(199, 'd'));
    EXPECT_EQ(settings.filename, " *.log ");
}

TEST_F(SweepSettingsTest, SavingOverALongerFileLeavesNothingOfIt) {
    dir.Write(SweepSettings::FileName, std::string(500, ';'));
    fs::permissions(IniPath(), fs::perms(0640));
    const fs::perms before = fs::status(IniPath()).permissions();
    settings.filepath = "D:\\logs\\";
    ASSERT_TRUE(settings.Save(dir.Dir() + SweepSettings::FileName));
    EXPECT_EQ(TempDir::Read(IniPath()), DefaultFile);
    EXPECT_EQ(fs::status(IniPath()).permissions(), before);
    EXPECT_TRUE(OnlyIniInDir());
}

TEST_F(SweepSettingsTest, ReadOnlyFileIsRefusedAndKept) {
    const std::string old = "[vorn]\r\nfilepath=/old\r\n";
    dir.Write(SweepSettings::FileName, old);
    fs::permissions(IniPath(), fs::perms(0444));
    settings.filepath = "/new";
    EXPECT_FALSE(settings.Save(dir.Dir() + SweepSettings::FileName));
    EXPECT_EQ(TempDir::Read(IniPath()), old);
    EXPECT_EQ(fs::status(IniPath()).permissions(), fs::perms(0444));
    EXPECT_TRUE(OnlyIniInDir());
}

TEST_F(SweepSettingsTest, StaleTemporaryFileDoesNotBlockASave) {
    dir.Write(std::string(SweepSettings::FileName) + ".tmp", "left by a crash");
    ASSERT_TRUE(settings.Save(dir.Dir() + SweepSettings::FileName));
    EXPECT_TRUE(OnlyIniInDir());
}

TEST_F(SweepSettingsTest, UnwritableDirectoryFailsTheSave) {
    fs::create_directory(dir / "gone");
    fs::remove(dir / "gone");
    EXPECT_FALSE(settings.Save((dir / "gone" / "").string()));
}

}  // namespace
