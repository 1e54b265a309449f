#include "platform/Process.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <optional>
#include <string>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "support/InChild.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using platform::InstanceGuard;

constexpr uid_t Nobody = 65534;
constexpr int GuardWaitMs = 200;

bool BecomeNobody() { return setgid(Nobody) == 0 && setuid(Nobody) == 0; }

// Another process that tries to take the guard `name` and holds it until it
// is released or killed.
class Holder {
public:
    Holder(const std::string& name, bool asNobody = false) {
        int answer[2], release[2];
        if (pipe(answer) != 0 || pipe(release) != 0) return;
        pid = fork();
        if (pid == 0) {
            close(answer[0]);
            close(release[1]);
            InstanceGuard guard(name.c_str());
            const char held = (!asNobody || BecomeNobody()) && guard.Acquire(0) ? '1' : '0';
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
        EXPECT_FALSE(second.Acquire(GuardWaitMs));
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_GE(waited, std::chrono::milliseconds(GuardWaitMs));
        EXPECT_LT(waited, std::chrono::milliseconds(GuardWaitMs + 500));
        first.End(signal);
        EXPECT_TRUE(second.Acquire(GuardWaitMs)) << signal;
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
        return std::string(other.holds ? "other holds, " : "other does not hold, ") +
               (ours.Acquire(GuardWaitMs) ? "ours taken" : "ours blocked");
    });
    EXPECT_EQ(seen, "other holds, ours taken");
}

// Where the superuser's guard keeps its lock file.
TEST_F(InstanceGuardTest, FilePlantedUnderItsNameNeitherBlocksNorRedirects) {
    if (geteuid() != 0) GTEST_SKIP() << "the superuser's guard lives in /run";
    TempDir temp;
    const fs::path target = temp.Write("target", "keep");
    for (const bool asLink : {true, false}) {
        const std::string name = GuardName(asLink ? "link" : "foreign");
        const fs::path planted = "/run/" + name + ".lock";
        if (asLink) {
            fs::create_symlink(target, planted);
        } else {
            std::ofstream{planted};
            ASSERT_EQ(chown(planted.c_str(), Nobody, Nobody), 0);
        }
        {
            InstanceGuard guard(name.c_str());
            EXPECT_TRUE(guard.Acquire(GuardWaitMs)) << planted;
            EXPECT_FALSE(Holder(name).holds) << planted;
            EXPECT_EQ(TempDir::Read(target), "keep");
            EXPECT_EQ(fs::is_symlink(planted), asLink);
        }
    }
}

TEST_F(InstanceGuardTest, UserWithoutHomeGetsAPrivateDirectoryNeverAForeignOne) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    const std::string name = GuardName("nohome");
    const std::string seen = RunInChild([&] {
        if (!PrivateTmp()) return std::string("no namespace");
        std::string text;
        {
            Holder first(name, true);
            text += first.holds && !Holder(name, true).holds ? "private, " : "not private, ";
        }
        // Squatted by another user: better no guard than one in its hands.
        fs::remove_all("/tmp/vorn-" + std::to_string(Nobody));
        fs::create_directory("/tmp/vorn-" + std::to_string(Nobody));
        text += Holder(name, true).holds ? "squatted used" : "squatted refused";
        return text;
    });
    EXPECT_EQ(seen, "private, squatted refused");
}

// Sets environment variables for one scope and puts the old values back.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::initializer_list<std::pair<const char*, std::string>> values) {
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR", "QT_QPA_PLATFORM"}) {
            const char* old = std::getenv(name);
            saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            unsetenv(name);
        }
        for (const auto& [name, value] : values) setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        for (const auto& [name, value] : saved)
            value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }

private:
    std::vector<std::pair<const char*, std::optional<std::string>>> saved;
};

// A listening socket for the length of a test; `port` 0 when none was free.
class Listener {
public:
    // On a Unix socket: a path, or a name in the abstract namespace.
    Listener(const std::string& name, bool abstract) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        name.copy(address.sun_path + (abstract ? 1 : 0), name.size());
        const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + (abstract ? 1 : 0) + name.size());
        Listen(AF_UNIX, reinterpret_cast<const sockaddr*>(&address), size);
    }
    // On TCP, the first free port from `first` on this machine.
    explicit Listener(int first) {
        for (port = first; port < first + 50; ++port) {
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_port = htons(static_cast<uint16_t>(port));
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            if (Listen(AF_INET, reinterpret_cast<const sockaddr*>(&address), sizeof address)) return;
        }
        port = 0;
    }
    ~Listener() {
        if (fd >= 0) close(fd);
    }

    int port = 0;

private:
    bool Listen(int family, const sockaddr* address, socklen_t size) {
        if (fd >= 0) close(fd);
        fd = socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
        return fd >= 0 && bind(fd, address, size) == 0 && listen(fd, SOMAXCONN) == 0;
    }
    int fd = -1;
};

TEST(HasDisplayTest, LocalServersAnswerInEveryFormOfTheirName) {
    TempDir temp;
    const int number = 4000 + getpid() % 1000;
    const std::string n = std::to_string(number);
    const std::string socketPath = (temp / "X-socket").string();
    const std::string wayland = "wayland-test";
    const struct {
        std::string display;
        std::string waylandDisplay;
    } cases[] = {
        {":" + n, ""}, {":" + n + ".0", ""}, {"unix:" + n, ""}, {"unix/:" + n + ".1", ""},
        {socketPath + ":0", ""}, {"", wayland}, {"", (temp / wayland).string()},
    };
    for (const auto& c : cases) {
        const ScopedEnvironment env{
            {"DISPLAY", c.display}, {"WAYLAND_DISPLAY", c.waylandDisplay}, {"XDG_RUNTIME_DIR", temp.Path().string()}};
        {
            const Listener x("/tmp/.X11-unix/X" + n, true);
            const Listener path(socketPath, false);
            const Listener wl((temp / wayland).string(), false);
            EXPECT_TRUE(platform::HasDisplay()) << c.display << c.waylandDisplay;
        }
        fs::remove(socketPath);
        fs::remove(temp / wayland);
        EXPECT_FALSE(platform::HasDisplay()) << c.display << c.waylandDisplay;
    }
}

TEST(HasDisplayTest, ServerOnAHostAnswersOnItsPort) {
    std::optional<Listener> server(std::in_place, 6000 + 4000 + getpid() % 1000);
    if (server->port == 0) GTEST_SKIP() << "no free port";
    const std::string n = std::to_string(server->port - 6000);
    for (const std::string& display : {"localhost:" + n, "127.0.0.1:" + n + ".0", "tcp/localhost:" + n}) {
        const ScopedEnvironment env{{"DISPLAY", display}};
        EXPECT_TRUE(platform::HasDisplay()) << display;
    }
    server.reset();
    const ScopedEnvironment env{{"DISPLAY", "localhost:" + n}};
    EXPECT_FALSE(platform::HasDisplay());
}

TEST(HasDisplayTest, NamedPlatformDecidesWhatMustAnswer) {
    const struct {
        const char* platform;
        const char* display;
        bool expected;
    } cases[] = {
        {"", "", false},          {"", "nonsense", false},          {"", "host::0", false},
        {"offscreen", "", true},  {"minimal:enable_fonts", "", true}, {"xcb", ":4999", false},
        {"xcb;offscreen", ":4999", true},
    };
    for (const auto& c : cases) {
        const ScopedEnvironment env{{"QT_QPA_PLATFORM", c.platform}, {"DISPLAY", c.display}};
        EXPECT_EQ(platform::HasDisplay(), c.expected) << c.platform << " " << c.display;
    }
}

}  // namespace
