#include "platform/InstanceGuard.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "support/InChild.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using platform::InstanceGuard;
using Result = InstanceGuard::Result;

constexpr int GuardWaitMs = 200;

// Where the other user's guard lives: it has no home of its own.
std::string NobodysPlace() { return "/tmp/vorn-" + std::to_string(Nobody); }

// Another process that takes what `take` takes and holds it until it is
// released or killed; `holds` is what `take` answered.
class Holder {
public:
    // Tries to take the guard `name`, as nobody if asked.
    Holder(const std::string& name, bool asNobody = false)
        : Holder([this, name, asNobody] {
              guard.emplace(name.c_str());
              return (!asNobody || BecomeNobody()) && guard->Acquire(0) == Result::Acquired;
          }) {}
    explicit Holder(const std::function<bool()>& take) {
        int answer[2], release[2];
        if (pipe(answer) != 0 || pipe(release) != 0) return;
        pid = fork();
        if (pid == 0) {
            close(answer[0]);
            close(release[1]);
            const char held = take() ? '1' : '0';
            char ignored;
            if (write(answer[1], &held, 1) == 1) (void)!read(release[0], &ignored, 1);
            _exit(0);
        }
        close(answer[1]);
        close(release[0]);
        char held = '0';
        holds = read(answer[0], &held, 1) == 1 && held == '1';
        close(answer[0]);
        releaseFd = release[1];
    }
    ~Holder() { End(0); }

    // Ends the holder: with `signal`, or as the process would end on its own.
    void End(int signal) {
        if (pid <= 0) return;
        if (signal) kill(pid, signal);
        close(releaseFd);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }

    bool holds = false;

private:
    pid_t pid = -1;
    int releaseFd = -1;
    std::optional<InstanceGuard> guard;  // the child's, kept until it ends
};

class InstanceGuardTest : public ::testing::Test {
protected:
    // A guard's name of this test run's own, so that runs side by side never meet.
    std::string GuardName(const std::string& what) {
        names.push_back("VORNTest-" + what + "-" + std::to_string(getpid()));
        return names.back();
    }
    // The lock files are meant to stay; a test's own go with it.
    void TearDown() override {
        const char* home = std::getenv("HOME");
        std::error_code ignored;
        for (const std::string& name : names)
            for (const std::string& file : {"/run/" + name + ".lock", std::string(home ? home : "") + "/." + name + ".lock"})
                for (int i = 0; i < 4; ++i) fs::remove(file + (i ? "." + std::to_string(i) : ""), ignored);
    }

    std::vector<std::string> names;
};

TEST_F(InstanceGuardTest, HeldUntilTheHolderEndsHoweverItEnds) {
    for (const int signal : {0, SIGKILL}) {
        const std::string name = GuardName("held");
        Holder first(name);
        ASSERT_TRUE(first.holds);
        EXPECT_FALSE(Holder(name).holds);
        InstanceGuard second(name.c_str());
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(second.Acquire(GuardWaitMs), Result::Held);
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_GE(waited, std::chrono::milliseconds(GuardWaitMs));
        EXPECT_LT(waited, std::chrono::milliseconds(GuardWaitMs + 500));
        first.End(signal);
        EXPECT_EQ(second.Acquire(GuardWaitMs), Result::Acquired) << signal;
    }
}

TEST_F(InstanceGuardTest, AnotherUserNeitherTakesNorBlocksOurs) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    const std::string name = GuardName("user");
    const std::string seen = RunInChild([&] {
        // The other user's guard lives in a /tmp of this test's own.
        if (!PrivateTmp()) return std::string("no namespace");
        Holder other(name, true);
        InstanceGuard ours(name.c_str());
        const bool taken = ours.Acquire(GuardWaitMs) == Result::Acquired;
        // ours in /run alone: nothing of the superuser's under /tmp
        return std::string(other.holds ? "other holds, " : "other does not hold, ") +
               (taken ? "ours taken" : "ours blocked") + (fs::exists("/tmp/vorn-0") ? " and /tmp used" : "");
    });
    EXPECT_EQ(seen, "other holds, ours taken");
}

// What another user may leave under the superuser's lock file's name in
// /run: a link, a file of its own, or the superuser's own file with its mode
// widened and a shared lock held on it. None blocks the guard or is written;
// with every name taken, the guard goes home rather than make up a new name.
TEST_F(InstanceGuardTest, NothingLeftUnderItsNameBlocksOrRedirectsIt) {
    if (geteuid() != 0) GTEST_SKIP() << "the superuser's guard lives in /run";
    TempDir temp;
    const fs::path target = temp.Write("target", "keep");
    const struct {
        const char* what;
        std::function<void(const fs::path&)> plant;
    } cases[] = {
        {"link", [&](const fs::path& at) { fs::create_symlink(target, at); }},
        {"another user's file", [](const fs::path& at) {
             std::ofstream{at};
             ASSERT_EQ(chown(at.c_str(), Nobody, Nobody), 0);
         }},
        {"widened lock file", [](const fs::path& at) {
             std::ofstream{at};
             fs::permissions(at, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
         }},
        {"every name", [&](const fs::path& at) {
             for (const char* suffix : {"", ".1", ".2", ".3"}) fs::create_symlink(target, at.string() + suffix);
         }},
    };
    for (const auto& c : cases) {
        const std::string name = GuardName("planted" + std::to_string(&c - cases));
        const fs::path planted = "/run/" + name + ".lock";
        c.plant(planted);
        // Another user opens what it may and holds a shared lock on it.
        const Holder other([&] {
            const int fd = BecomeNobody() ? open(planted.c_str(), O_RDONLY | O_NONBLOCK) : -1;
            if (fd >= 0) flock(fd, LOCK_SH);
            return true;
        });
        InstanceGuard guard(name.c_str());
        EXPECT_EQ(guard.Acquire(GuardWaitMs), Result::Acquired) << c.what;
        EXPECT_FALSE(Holder(name).holds) << c.what;
        EXPECT_EQ(TempDir::Read(target), "keep") << c.what;
        EXPECT_FALSE(fs::exists(planted.string() + ".4")) << c.what;
    }
}

// Its own lock file, narrowed below read and write, is set back and used.
TEST_F(InstanceGuardTest, OwnLockFileNarrowedIsSetBack) {
    if (geteuid() != 0) GTEST_SKIP() << "the superuser's guard lives in /run";
    const std::string name = GuardName("narrowed");
    const fs::path file = "/run/" + name + ".lock";
    std::ofstream{file};
    fs::permissions(file, fs::perms::owner_read, fs::perm_options::replace);
    InstanceGuard guard(name.c_str());
    EXPECT_EQ(guard.Acquire(GuardWaitMs), Result::Acquired);
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

// A user whose home is not its own keeps its guard under /tmp, never in a
// directory another user made first; when every name there is taken, it
// says where it looked instead of claiming another instance runs.
TEST_F(InstanceGuardTest, UserWithoutHomeGetsAPrivateDirectoryNeverAForeignOne) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    const std::string name = GuardName("nohome");
    const std::string own = NobodysPlace();
    const std::string seen = RunInChild([&] {
        if (!PrivateTmp()) return std::string("no namespace");
        std::string text;
        {
            Holder first(name, true);
            text += first.holds && !Holder(name, true).holds ? "private, " : "not private, ";
        }
        // Squatted by another user: the next name is used, the squatter's never.
        fs::remove_all(own);
        fs::create_directory(own);
        {
            Holder first(name, true);
            text += first.holds && !Holder(name, true).holds && fs::is_empty(own) ? "next used, " : "squat used, ";
        }
        for (const std::string& dir : {own, own + ".1", own + ".2", own + ".3"}) {
            fs::remove_all(dir);
            fs::create_directory(dir);
        }
        if (!BecomeNobody()) return std::string("cannot become nobody");
        InstanceGuard guard(name.c_str());
        const bool unavailable = guard.Acquire(0) == Result::Unavailable;
        const auto& problems = guard.Problems();
        const bool named = !problems.empty() && problems.back().place == own + ".3" &&
                           problems.back().reason == platform::GuardPlaceProblem::Reason::NotOwned;
        return text + (unavailable && named ? "all taken said" : "all taken not said");
    });
    EXPECT_EQ(seen, "private, next used, all taken said");
}

// Another user can give a name under /tmp back: she makes the first
// unusable while one instance starts (it takes the next), then removes it;
// the next instance must still meet the first. A link she leaves under a
// later name, to one of the user's own directories there, must neither
// block the guard nor count as a place of its own.
TEST_F(InstanceGuardTest, NamesGivenBackUnderTmpNeverSplitInstances) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    const std::string name = GuardName("giveback");
    const std::string own = NobodysPlace();
    const std::string seen = RunInChild([&] {
        if (!PrivateTmp()) return std::string("no namespace");
        fs::create_directory(own);  // the superuser's, so not usable by nobody
        std::string text;
        {
            Holder first(name, true);
            fs::remove(own);
            text += first.holds && !Holder(name, true).holds ? "met, " : "split, ";
        }
        fs::create_directory_symlink(own, own + ".3");
        Holder first(name, true);
        return text + (first.holds && !Holder(name, true).holds ? "link ignored" : "link followed");
    });
    EXPECT_EQ(seen, "met, link ignored");
}

// A settings file's guard goes by the file: a link to it or another
// spelling of its path is the same file, a copy is not.
TEST(FileIdentity, FollowsLinksAndIgnoresSpelling) {
    TempDir temp;
    const fs::path file = temp.Write("conf/web.ini", "x");
    const fs::path copy = temp.Write("conf/copy.ini", "x");
    fs::create_symlink(file, temp / "link.ini");
    const std::string identity = platform::FileIdentity(file.string());
    ASSERT_NE(identity, "");
    EXPECT_EQ(platform::FileIdentity((temp / "link.ini").string()), identity);
    EXPECT_EQ(platform::FileIdentity((temp / "conf/../conf/web.ini").string()), identity);
    EXPECT_NE(platform::FileIdentity(copy.string()), identity);
    EXPECT_EQ(platform::FileIdentity((temp / "missing.ini").string()), "");
}

}  // namespace
