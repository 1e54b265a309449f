// What only a POSIX system can make happen to vorn.ini: a write the kernel
// refuses half-way, links to it, a folder only its owner may write.

#include "config/SweepSettings.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/resource.h>
#include <utility>
#include <vector>
#include <unistd.h>

#include "SweepSettingsFixture.h"
#include "support/InChild.h"

namespace {

using namespace settingstest;

// A write that fails half-way (a full disk) must leave the old file whole.
// The file-size limit makes the kernel refuse the write for real.
TEST_F(SweepSettingsTest, FailedWriteKeepsTheOldFile) {
    const std::string old = DefaultFile;
    dir.Write(SweepSettings::FileName, old);
    settings.filepath = "/" + std::string(180, 'p');
    settings.filename = std::string(180, 'f');

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 200;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved200 = settings.Save(dir.Dir() + SweepSettings::FileName);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved200);
    EXPECT_EQ(TempDir::Read(IniPath()), old);
    EXPECT_TRUE(OnlyIniInDir());
}

// Administrators keep the file elsewhere (in /etc, say) and link to it: a
// save must reach that file and leave the link, however the link is made.
TEST_F(SweepSettingsTest, SaveThroughALinkKeepsTheLink) {
    fs::create_directories(dir / "etc");
    const fs::path real = dir / "etc/vorn.ini";
    const struct {
        const char* what;
        std::vector<std::pair<fs::path, fs::path>> links;  // target, link
    } cases[] = {
        {"absolute", {{real, IniPath()}}},
        {"relative", {{"etc/vorn.ini", IniPath()}}},
        {"chain", {{"vorn.ini", dir / "etc/current"}, {"etc/current", IniPath()}}},
    };
    settings.filepath = "D:\\logs\\";
    for (const auto& c : cases) {
        for (const bool dangling : {false, true}) {
            fs::remove_all(dir / "etc");
            fs::create_directories(dir / "etc");
            fs::remove(IniPath());
            if (!dangling) dir.Write("etc/vorn.ini", "[vorn]\r\nfilepath=/old\r\n");
            for (const auto& [target, link] : c.links) fs::create_symlink(target, link);
            ASSERT_TRUE(settings.Save(dir.Dir() + SweepSettings::FileName)) << c.what;
            EXPECT_TRUE(fs::is_symlink(IniPath())) << c.what;
            EXPECT_EQ(TempDir::Read(real), DefaultFile) << c.what << (dangling ? ", dangling" : "");
            EXPECT_FALSE(fs::exists(dir / "etc/vorn.ini.tmp")) << c.what;
        }
    }
}

// A vorn.ini given to an operator in a folder the operator may not change
// (its owner keeps it to itself), or may add to but not replace root's file
// in (the sticky bit, as /tmp has): the operator's save writes the file
// where it stands.
TEST_F(SweepSettingsTest, FileWritableWhereItCannotBeReplacedIsRewrittenInPlace) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    const struct {
        const char* folder;
        fs::perms folderMode;
        uid_t fileOwner;
    } cases[] = {
        {"owner's own", fs::perms(0755), Nobody},
        {"sticky", fs::perms(01777), 0},
    };
    settings.filepath = "D:\\logs\\";
    for (const auto& c : cases) {
        fs::permissions(dir.Path(), c.folderMode);
        dir.Write(SweepSettings::FileName, std::string(500, ';'));
        ASSERT_EQ(chown(IniPath().c_str(), c.fileOwner, c.fileOwner), 0);
        fs::permissions(IniPath(), fs::perms(0666));
        const std::string saved = RunInChild([&] {
            if (!BecomeNobody()) return std::string("cannot become nobody");
            return std::string(settings.Save(dir.Dir() + SweepSettings::FileName) ? "saved" : "refused");
        });
        EXPECT_EQ(saved, "saved") << c.folder;
        EXPECT_EQ(TempDir::Read(IniPath()), DefaultFile) << c.folder;
        EXPECT_TRUE(OnlyIniInDir()) << c.folder;
    }
}

}  // namespace
