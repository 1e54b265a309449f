// The file calls under what a server may do to them: files swapped while they
// are opened, stale error numbers, another user's rights, failed publishing,
// the directory a replacement must reach the disk in, and a terminal that
// tells no width.

#include "platform/FileIo.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <pty.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/Console.h"
#include "platform/PublishedFile.h"
#include "support/InChild.h"
#include "support/TempDir.h"

namespace {

std::mutex syncedLock;
std::vector<std::string> synced;  // what each fsync of this program was asked for

}  // namespace

// Every fsync of this program passes here on its way to the kernel, so that a
// test sees which directory a replacement was made durable in.
extern "C" int fsync(int fd) {
    char path[PATH_MAX];
    const ssize_t size = readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path, sizeof path);
    {
        const std::lock_guard lock(syncedLock);
        synced.push_back(size > 0 ? std::string(path, size) : "?");
    }
    return static_cast<int>(syscall(SYS_fsync, fd));
}

namespace {

namespace fs = std::filesystem;
using platform::FileHandle;
using platform::InvalidFile;

std::string ContentOf(FileHandle file) {
    char buffer[64];
    size_t got = 0;
    return platform::ReadFile(file, buffer, sizeof buffer, got) ? std::string(buffer, got) : "unreadable";
}

// Truncating where the writer stopped, the start included: an emptied
// settings file is a valid save.
TEST(FileIoTest, TruncatesWhereTheWriterStopped) {
    TempDir temp;
    for (const off_t at : {0, 3}) {
        const fs::path path = temp.Write("file", "abcdef");
        const FileHandle file = platform::OpenFile(path.c_str(), platform::AccessWrite, platform::OpenExisting);
        ASSERT_NE(file, InvalidFile);
        ASSERT_EQ(lseek(static_cast<int>(file), at, SEEK_SET), at);
        EXPECT_TRUE(platform::TruncateFile(file)) << at;
        platform::CloseFile(file);
        EXPECT_EQ(fs::file_size(path), static_cast<uintmax_t>(at));
    }
}

// An error number left over from an earlier call is no reason to read again
// (and lose what the first read returned).
TEST(FileIoTest, ReadIsNotRepeatedOverAStaleInterruption) {
    TempDir temp;
    const fs::path path = temp.Write("file", "abcdefgh");
    const FileHandle file = platform::OpenFile(path.c_str(), platform::AccessRead, platform::OpenExisting);
    ASSERT_NE(file, InvalidFile);
    char buffer[4];
    size_t got = 0;
    errno = EINTR;
    EXPECT_TRUE(platform::ReadFile(file, buffer, sizeof buffer, got));
    EXPECT_EQ(std::string(buffer, got), "abcd");
    platform::CloseFile(file);
}

// As another user than root, whose rights do not override a file's mode.
TEST(FileIoTest, WhyNotOpenedTellsTheCausesApart) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    TempDir temp;
    using Problem = platform::OpenProblem;
    fs::permissions(temp.Write("private", "x"), fs::perms::owner_read | fs::perms::owner_write);
    temp.Write("readable", "x");
    temp.Write("closed/inside", "x");
    fs::permissions(temp / "closed", fs::perms::owner_all);
    const struct {
        const char* name;
        Problem problem;
    } cases[] = {
        {"missing", Problem::Missing},     {"readable/inside", Problem::Missing},
        {"closed", Problem::NotRegular},   {"private", Problem::Denied},
        {"closed/inside", Problem::Denied}, {"readable", Problem::Other},
    };
    for (const auto& c : cases) {
        const std::string seen = RunInChild([&] {
            if (!BecomeNobody()) return std::string("cannot become nobody");
            return std::to_string(static_cast<int>(platform::WhyNotOpened((temp / c.name).c_str())));
        });
        EXPECT_EQ(seen, std::to_string(static_cast<int>(c.problem))) << c.name;
    }
}

// The file is opened by its name after every step to it was judged: a file
// swapped in between (here, one anybody may write, exchanged with the
// user's own over and over) is refused, never read.
TEST(FileIoTest, OwnFileSwappedWhileItIsOpenedIsNeverTheOtherOne) {
    TempDir temp;
    const fs::path own = temp.Write("conf/vorn.ini", "own");
    const fs::path open = temp.Write("conf/other", "open to all");
    fs::permissions(own, fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(open, fs::perms::all);
    std::atomic<bool> stop{false};
    std::thread swapper([&] {
        while (!stop) renameat2(AT_FDCWD, own.c_str(), AT_FDCWD, open.c_str(), RENAME_EXCHANGE);
    });
    // On until the swap has fallen between the judging and the opening
    // often enough (the file was then given up, or read in error).
    int taken = 0, refused = 0, swapped = 0, wrong = 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < until && swapped + wrong < 20) {
        bool wasRefused = false;
        platform::WayRefusal refusal;
        const FileHandle file = platform::OpenOwnFile(own.c_str(), wasRefused, refusal);
        refused += wasRefused;
        swapped += file == InvalidFile && !wasRefused;
        if (file == InvalidFile) continue;
        ++taken;
        wrong += ContentOf(file) != "own";
        platform::CloseFile(file);
    }
    stop = true;
    swapper.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(taken, 0);
    EXPECT_GT(refused, 0);
}

// A replaced file survives a crash once its directory reached the disk: the
// directory it was renamed in, however its path is spelt.
TEST(FileIoTest, ReplacementIsMadeDurableInItsOwnDirectory) {
    TempDir temp;
    const fs::path dir = fs::canonical(temp.Path()) / "d";
    fs::create_directory(dir);
    const struct {
        fs::path from, to;
    } cases[] = {{dir / "new", dir / "vorn.ini"}, {"d/new", "d/vorn.ini"}};
    for (const auto& c : cases) {
        const std::string seen = RunInChild([&] {
            if (chdir(temp.Path().c_str()) != 0) return std::string("no directory");
            std::ofstream(c.from) << "new";
            synced.clear();
            if (!platform::MoveFileOver(c.from.c_str(), c.to.c_str())) return std::string("not moved");
            return synced.empty() ? std::string("nothing synced") : synced.back();
        });
        EXPECT_EQ(seen, dir.string()) << c.from;
    }
}

// A chain of links is followed as far as the kernel follows one, no further.
TEST(FileIoTest, LinkTargetFollowsAsManyLinksAsTheKernel) {
    TempDir temp;
    const fs::path file = temp.Write("file", "x");
    fs::path link = file;
    for (int n = 1; n <= 41; ++n) {
        const fs::path next = temp / ("link" + std::to_string(n));
        fs::create_symlink(link.filename(), next);
        link = next;
        if (n == 40) {
            EXPECT_EQ(platform::LinkTarget(link.c_str()), file.string());
        }
    }
    EXPECT_EQ(platform::LinkTarget(link.c_str()), (temp / "link1").string());
}

// A failed publication leaves nothing behind, not even its temporary file.
TEST(PublishFileTest, FailureLeavesNoTemporary) {
    TempDir temp;
    fs::create_directory(temp / "vorn.prom");  // the name is taken by a directory
    EXPECT_EQ(platform::PublishFile(temp.Path().string(), "vorn.prom", "metrics\n"), platform::PublishResult::Failed);
    std::vector<fs::path> left;
    for (const auto& entry : fs::directory_iterator(temp.Path())) left.push_back(entry.path().filename());
    EXPECT_EQ(left, std::vector<fs::path>{"vorn.prom"});
}

// An error number left over from an earlier call is no reason to write the
// same bytes again: the file would grow without end (here to a limit, where a
// write repeated on its failure would hang but for the alarm).
TEST(PublishFileTest, StaleInterruptionDoesNotRepeatTheWrite) {
    TempDir temp;
    const std::string seen = RunInChild([&temp] {
        const rlimit limit{4096, 4096};
        if (signal(SIGXFSZ, SIG_IGN) == SIG_ERR || setrlimit(RLIMIT_FSIZE, &limit) != 0) return std::string("no limit");
        alarm(10);
        errno = EINTR;
        const auto result = platform::PublishFile(temp.Path().string(), "vorn.prom", "metrics\n");
        return result == platform::PublishResult::Published ? TempDir::Read(temp / "vorn.prom") : std::string("failed");
    });
    EXPECT_EQ(seen, "metrics\n");
}

// A terminal that tells no width (a serial console, a pseudo-terminal nobody
// sized) gets the usual 80 columns, never a line of none.
TEST(ConsoleTest, TerminalWithoutAWidthHasEightyColumns) {
    for (const unsigned short columns : {0, 132}) {
        const std::string seen = RunInChild([columns] {
            int master, slave;
            winsize size{24, columns, 0, 0};
            if (openpty(&master, &slave, nullptr, nullptr, &size) != 0 || dup2(slave, STDERR_FILENO) < 0)
                return std::string("no terminal");
            return std::to_string(platform::TerminalColumns(platform::StandardStream::Error));
        });
        EXPECT_EQ(seen, columns ? "132" : "80");
    }
}

}  // namespace
