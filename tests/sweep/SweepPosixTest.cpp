// What only a POSIX tree can hold: links, FIFOs, mounts, owner write bits,
// dot names and stored DOS attributes.

#include "sweep/SweepJob.h"

#include <gtest/gtest.h>

#include <linux/capability.h>
#include <stdexcept>
#include <string>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

#include "SweepFixture.h"
#include "platform/DosAttributes.h"
#include "support/InChild.h"
#include "support/PosixFiles.h"
#include "support/ScopedMount.h"

namespace {

using namespace sweeptest;
using platform::AttributeHidden;
using platform::AttributeReadOnly;
using platform::AttributeSystem;

bool HasText(const Texts& texts, const std::string& part) {
    for (const std::string& text : texts)
        if (text.find(part) != std::string::npos) return true;
    return false;
}

// Takes from the calling thread, and from the threads it starts from now on,
// the capabilities that let root open any directory; a user has none to lose.
bool DropAccessOverride() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (syscall(SYS_capget, &header, data) != 0) return false;
    for (const unsigned cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) data[cap / 32].effective &= ~(1u << cap % 32);
    return syscall(SYS_capset, &header, data) == 0;
}

// The worker takes the capabilities of the thread that starts it: this one
// meets the directories' permissions as any user but root would.
void StartWithoutAccessOverride(SweepJob& job) {
    std::thread([&job] {
        ASSERT_TRUE(DropAccessOverride());
        job.Start();
    }).join();
}

// A directory nobody may list, given back its permissions when the test ends.
struct LockedDirectory {
    explicit LockedDirectory(fs::path path) : path(std::move(path)) {
        fs::permissions(this->path, fs::perms::none);
    }
    ~LockedDirectory() { fs::permissions(path, fs::perms::owner_all); }
    const fs::path path;
};

TEST_F(SweepFixture, RootThatCannotBeListedEndsWithAnError) {
    tree.Write("locked/a.log", "x");
    const LockedDirectory locked(tree / "locked");
    settings.filepath = locked.path.string();
    StartWithoutAccessOverride(job);
    EXPECT_EQ(TextsOf(FinishedRecords()), (Texts{"正在运行...", "搜索目录 " + settings.filepath, "无法打开处理目录 " + settings.filepath}));
    EXPECT_EQ(job.LastRunEnd(), SweepJob::RunEnd::RootUnreadable);
    EXPECT_TRUE(Exists("locked/a.log"));
}

// The locked directory, the tenth entered, has its text and its count but
// not the pause of a directory that was searched: only the nine levels above
// it pause, each leaving with the count at ten.
TEST_F(SweepFixture, SubdirectoryThatCannotBeListedIsCountedButMakesNoPause) {
    std::string chain;
    for (int i = 2; i <= 9; ++i) chain += "d" + std::to_string(i) + "/";
    tree.Write(chain + "locked/a.log", "x");
    const LockedDirectory locked(tree / (chain + "locked"));
    settings.speed = 0;
    StartWithoutAccessOverride(job);
    const Texts texts = TextsOf(FinishedRecords());
    EXPECT_TRUE(HasText(texts, "搜索目录 " + locked.path.string()));
    EXPECT_EQ(texts.back(), Summary(true, 0, 0));
    EXPECT_EQ(pauses->Pauses(), std::vector<int>(9, 500));
    EXPECT_TRUE(Exists(chain + "locked/a.log"));
    EXPECT_EQ(job.LastShortfalls().unreadableDirectories, 1);
}

TEST_F(SweepFixture, EachAttributeNeedsItsFlag) {
    const struct {
        const char* name;
        const char* dosAttrib;  // null: none stored
        uint32_t carries;
    } files[] = {
        {"plain.log", nullptr, 0},
        {"locked.log", nullptr, AttributeReadOnly},
        {".dot.log", nullptr, AttributeHidden},
        {"sys.log", "0x4", AttributeSystem},
        {"hidsys.log", "0x6", AttributeHidden | AttributeSystem},
        {"garbled.log", "0X6", AttributeHidden | AttributeSystem | AttributeReadOnly},
    };
    settings.filename = "*.log";
    for (uint32_t allowed = 0; allowed < 8; ++allowed) {
        SCOPED_TRACE(allowed);
        for (const auto& file : files) {
            const fs::path path = tree.Write(file.name, "x");
            if (file.dosAttrib && !SetDosAttrib(path, file.dosAttrib)) GTEST_SKIP() << "no user xattrs here";
        }
        fs::permissions(tree / "locked.log", fs::perms::owner_write, fs::perm_options::remove);
        settings.readonly = allowed & AttributeReadOnly;
        settings.hidden = allowed & AttributeHidden;
        settings.system = allowed & AttributeSystem;
        Sweep();
        for (const auto& file : files)
            EXPECT_EQ(Exists(file.name), (file.carries & ~allowed) != 0) << file.name;
    }
}

// Clearing the write bit first would change every other name of the file.
TEST_F(SweepFixture, DeletingAReadOnlyFileLeavesItsModeAlone) {
    const fs::path file = tree.Write("a.log", "x");
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::remove);
    fs::create_hard_link(file, tree / "other.txt");
    settings.filename = "*.log";
    EXPECT_EQ(Sweep().back(), Summary(true, 2, 1));
    EXPECT_EQ(fs::status(tree / "other.txt").permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST_F(SweepFixture, LinksAreNeverFollowed) {
    TempDir outside;
    outside.Write("x.log", "keep");
    outside.Write("target.log", "keep");
    fs::create_symlink(outside.Path(), tree / "linked.log");
    fs::create_symlink(outside.Path(), tree / "linked");
    fs::create_symlink(outside / "target.log", tree / "file.log");
    fs::create_symlink(outside / "nowhere", tree / "dangling.log");
    tree.Write("regular.log", "x");
    settings.filename = "*.log";
    const Texts texts = Sweep();
    EXPECT_EQ(texts.back(), Summary(true, 3, 3));
    EXPECT_FALSE(HasText(texts, "linked"));
    EXPECT_TRUE(Exists("linked.log") && Exists("linked"));
    EXPECT_FALSE(Exists("file.log") || Exists("dangling.log") || Exists("regular.log"));
    EXPECT_EQ(TempDir::Read(outside / "x.log"), "keep");
    EXPECT_EQ(TempDir::Read(outside / "target.log"), "keep");
}

TEST_F(SweepFixture, FifoIsCountedButNeverOpenedOrDeleted) {
    ASSERT_EQ(mkfifo((tree / "pipe.log").c_str(), 0600), 0);
    tree.Write("a.log", "x");
    settings.filename = "*.log";
    EXPECT_EQ(Sweep().back(), Summary(true, 2, 1));
    EXPECT_TRUE(Exists("pipe.log"));
}

TEST_F(HookedSweepFixture, DirectorySwappedForALinkBeforeItOpensIsLeftAlone) {
    TempDir outside;
    outside.Write("x.log", "keep");
    tree.Write("sub/y.log", "x");
    job.onSubdirectory = [&](const std::string&) {
        fs::rename(tree / "sub", tree / "moved");
        fs::create_symlink(outside.Path(), tree / "sub");
    };
    settings.filename = "*.log";
    const Texts texts = Sweep();
    EXPECT_EQ(texts.back(), Summary(true, 0, 0));
    EXPECT_EQ(job.LastShortfalls(), SweepShortfalls{});  // nor taken for an emptied folder
    EXPECT_FALSE(HasText(texts, "/sub"));
    EXPECT_TRUE(Exists("sub") && Exists("moved/y.log"));
    EXPECT_EQ(TempDir::Read(outside / "x.log"), "keep");
}

TEST_F(SweepFixture, OtherMountsAreNotEnteredNorRemoved) {
    ScopedMount tmpfs("none", tree / "mnt", "tmpfs", 0);
    if (!tmpfs.mounted) GTEST_SKIP() << "cannot mount here";
    tree.Write("mnt/x.log", "keep");
    settings.filename = "*.log";
    const Texts texts = Sweep();
    EXPECT_EQ(texts.back(), Summary(true, 0, 0));
    EXPECT_FALSE(HasText(texts, "/mnt"));
    EXPECT_EQ(TempDir::Read(tree / "mnt/x.log"), "keep");
}

// While the count of deletions stands at 0, every failed attempt reports and pauses.
TEST_F(SweepFixture, FailedDeletionsReportAndPauseWhileTheCountIsZero) {
    for (const char* name : {"a.log", "b.log", "c.log"}) tree.Write(std::string("files/") + name, "x");
    ScopedMount readOnly((tree / "files").c_str(), tree / "ro", nullptr, MS_BIND);
    if (!readOnly.MakeReadOnly()) GTEST_SKIP() << "cannot mount here";
    settings.filepath = (tree / "ro").string();
    settings.filename = "*.log";
    settings.speed = 2;
    const Texts texts = Sweep();
    ASSERT_EQ(texts.size(), 6u);
    for (int i = 2; i < 5; ++i)
        EXPECT_EQ(texts[i].rfind("删除" + settings.filepath + "/", 0), 0u) << texts[i];
    EXPECT_EQ(texts.back(), Summary(true, 3, 0));
    EXPECT_EQ(pauses->Pauses(), std::vector<int>(3, 100));
    EXPECT_EQ(job.LastShortfalls().undeletedFiles, 3);
}

TEST_F(HookedSweepFixture, ExceptionLeavingTheRunStillEndsIt) {
    fs::create_directories(tree / "sub");
    job.onSubdirectory = [](const std::string&) { throw std::runtime_error("thrown from the run"); };
    const std::vector<StatusRecord> records = SweepRecords();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1].text, "搜索目录 " + Root());
    EXPECT_EQ(records[2].kind, StatusKind::Error);
    EXPECT_EQ(records[2].text, "运行异常结束");
    EXPECT_EQ(job.LastRunEnd(), SweepJob::RunEnd::Failed);
    EXPECT_EQ(job.FinalText(), "运行异常结束");
    job.onSubdirectory = nullptr;
    EXPECT_EQ(Sweep().back(), Summary(true, 0, 0));
    EXPECT_EQ(job.LastRunEnd(), SweepJob::RunEnd::Completed);
}

// Under a descriptor limit of 1024, several workers sweep a directory of
// 3000 subdirectories and a chain 1000 deep without running out: a directory
// is handed over, open, only to a worker that waits or is added for it, and
// only while every worker could still go as deep as the path limit lets it.
// The chain is searched down to that limit. While calls block, the workers
// grow only as far as that leaves room for: 960 directories allow 7.
TEST(SweepDescriptors, WideAndDeepTreesNeverRunOutOfDescriptors) {
    TempDir tree;
    for (int d = 0; d < 3000; ++d) tree.Write("wide/d" + std::to_string(d) + "/x.log", "x");
    fs::create_directory(tree / "deep");
    for (int level = 0, fd = open((tree / "deep").c_str(), O_RDONLY | O_DIRECTORY); fd >= 0; ++level) {
        const int next = level < 1000 && mkdirat(fd, "d", 0700) == 0 ? openat(fd, "d", O_RDONLY | O_DIRECTORY) : -1;
        close(fd);
        fd = next;
    }
    const std::string seen = RunInChild([&] {
        const rlimit limit{1024, 1024};
        if (setrlimit(RLIMIT_NOFILE, &limit) != 0) return std::string("cannot limit");
        SweepSettings settings;
        settings.filepath = tree.Path().string();
        settings.filename = "*.log";
        settings.speed = 3;
        StatusChannel channel;
        std::atomic<bool> silent{true};
        HookedJob job(settings, channel, silent, SweepJob::SystemNow, [](int) {}, 4);
        job.callsBlock = true;
        job.Start();
        if (!job.WaitDone(60000)) return std::string("no end");
        const SweepShortfalls& s = job.LastShortfalls();
        const int workers = job.LastCounts().workers;
        return job.FinalText() + " unreadable " + std::to_string(s.unreadableDirectories) + " overlong " +
               std::to_string(s.overlongDirectories) + (workers > 4 && workers <= 7 ? " grew" : " workers " + std::to_string(workers));
    });
    EXPECT_EQ(seen, Summary(true, 3000, 3000) + " unreadable 0 overlong 1 grew");
    EXPECT_FALSE(fs::exists(tree / "wide"));
}

}  // namespace
