// What only a POSIX system can make happen to vorn.ini: a write the kernel
// refuses half-way, links to it, a folder only its owner may write, a file
// or a way to it that another user has a hand in.

#include "config/SweepSettings.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <utility>
#include <vector>
#include <unistd.h>

#include "SweepSettingsFixture.h"
#include "config/ConfigFile.h"
#include "support/InChild.h"

namespace {

using namespace settingstest;

// Saves settings with long texts to `path` in a child (as nobody if asked)
// under a file-size limit that makes the kernel refuse the write half-way,
// as a full disk would: "saved" or "refused".
std::string SaveUnderFileSizeLimit(const std::string& path, bool asNobody) {
    SweepSettings settings;
    settings.filepath = "/" + std::string(180, 'p');
    settings.filename = std::string(180, 'f');
    return RunInChild([&] {
        if (asNobody && !BecomeNobody()) return std::string("cannot become nobody");
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{200, 200};
        if (setrlimit(RLIMIT_FSIZE, &small) != 0) return std::string("cannot limit");
        return std::string(settings.Save(path) ? "saved" : "refused");
    });
}

// A write that fails half-way, or one the disk never confirms, must leave
// the old file whole.
TEST_F(SweepSettingsTest, FailedWriteKeepsTheOldFile) {
    const std::function<std::string()> failedSaves[] = {
        [this] { return SaveUnderFileSizeLimit(Ini(), false); },
        [this] {
            return RunInChild([this] {
                if (!RefuseCall(SYS_fsync, SECCOMP_RET_ERRNO | EIO)) return std::string("cannot filter");
                return std::string(settings.Save(Ini()) ? "saved" : "refused");
            });
        },
    };
    for (const auto& save : failedSaves) {
        dir.Write(SweepSettings::FileName, DefaultFile);
        EXPECT_EQ(save(), "refused");
        EXPECT_EQ(TempDir::Read(IniPath()), DefaultFile);
        EXPECT_TRUE(OnlyIniInDir());
    }
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
            ASSERT_TRUE(settings.Save(Ini())) << c.what;
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
            return std::string(settings.Save(Ini()) ? "saved" : "refused");
        });
        EXPECT_EQ(saved, "saved") << c.folder;
        EXPECT_EQ(TempDir::Read(IniPath()), DefaultFile) << c.folder;
        EXPECT_TRUE(OnlyIniInDir()) << c.folder;
    }
}

// A rewrite in place that the kernel refuses half-way is a failed save, never reported as a saved one.
TEST_F(SweepSettingsTest, RewriteInPlaceRefusedHalfWayIsNoSave) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    fs::permissions(dir.Path(), fs::perms(0755));
    dir.Write(SweepSettings::FileName, std::string(500, ';'));
    ASSERT_EQ(chown(IniPath().c_str(), Nobody, Nobody), 0);
    EXPECT_EQ(SaveUnderFileSizeLimit(Ini(), true), "refused");
}

// A silent run reads settings only where nobody but root and the user
// running it could have chosen them: the file, every folder and link on the
// way are theirs, nobody else may write the file, and a folder others may
// write keeps them from replacing it (the sticky bit). Otherwise the
// refusal names the place and the owner or mode at fault.
TEST_F(SweepSettingsTest, SilentRunReadsOnlySettingsNobodyElseCouldHaveChosen) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    const auto file = [this](const std::string& name, int mode, uid_t owner) {
        const fs::path path = dir.Write(name, DefaultFile);
        fs::permissions(path, fs::perms(mode));
        EXPECT_EQ(chown(path.c_str(), owner, owner), 0);
    };
    const auto folder = [this](const std::string& name, int mode, uid_t owner) {
        fs::create_directories(dir / name);
        fs::permissions(dir / name, fs::perms(mode));
        EXPECT_EQ(chown((dir / name).c_str(), owner, owner), 0);
    };
    const auto link = [this](const std::string& target, const std::string& name, uid_t owner) {
        fs::create_symlink(target, dir / name);
        EXPECT_EQ(lchown((dir / name).c_str(), owner, owner), 0);
    };
    file("own.ini", 0644, 0);
    file("open.ini", 0666, 0);
    file("group.ini", 0664, 0);
    file("theirs.ini", 0644, Nobody);
    folder("mallory", 0755, Nobody);
    file("mallory/evil.ini", 0644, Nobody);
    link("mallory/evil.ini", "tomallory.ini", 0);
    folder("sticky", 01777, 0);
    file("sticky/mine.ini", 0644, 0);
    file("sticky/nobodys.ini", 0644, Nobody);
    link("sticky/mine.ini", "tosticky.ini", 0);
    folder("shared", 0777, 0);
    file("shared/x.ini", 0644, 0);
    link("shared/x.ini", "toshared.ini", 0);
    link("own.ini", "planted.ini", Nobody);
    const std::string at = "“" + dir.Path().string() + "/";
    const std::string nobodyOwns = "”属于用户65534，只能属于root或运行程序的用户";
    const struct {
        uid_t reader;
        const char* name;
        std::string verdict;
    } cases[] = {
        {0, "own.ini", "read"},
        {0, "tosticky.ini", "read"},
        {Nobody, "own.ini", "read"},
        {Nobody, "sticky/nobodys.ini", "read"},
        {0, "open.ini", at + "open.ini”的权限是0666，所有者以外的用户可以写入"},
        {0, "group.ini", at + "group.ini”的权限是0664，所有者以外的用户可以写入"},
        {0, "theirs.ini", at + "theirs.ini" + nobodyOwns},
        {0, "tomallory.ini", at + "mallory" + nobodyOwns},
        {0, "planted.ini", at + "planted.ini" + nobodyOwns},
        {0, "toshared.ini", "目录" + at + "shared”的权限是0777，其他用户可以写入又没有粘滞位，可以替换其中的文件"},
    };
    for (const auto& c : cases) {
        const std::string verdict = RunInChild([&] {
            if (c.reader != 0 && !BecomeNobody()) return std::string("cannot become nobody");
            const ConfigFile read = ReadConfigFile((dir / c.name).string(), true);
            const std::optional<ConfigProblem> problem = CheckConfig(read);
            return read.problem == ConfigFile::Problem::None ? std::string("read") : problem ? problem->what : "?";
        });
        EXPECT_EQ(verdict, c.verdict) << c.name << " read by " << c.reader;
    }
    // The window shows what it finds, whoever could have written it.
    EXPECT_EQ(ReadConfigFile((dir / "open.ini").string(), false).problem, ConfigFile::Problem::None);
}

}  // namespace
