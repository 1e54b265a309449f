#include "platform/Process.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cstdlib>
#include <filesystem>
#include <netinet/in.h>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

// The sockets this process holds: a probe left open would be among them, and
// nothing a sanitizer opens is.
size_t OpenSockets() {
    size_t count = 0;
    for (const fs::directory_entry& fd : fs::directory_iterator("/proc/self/fd")) {
        std::error_code gone;
        count += fs::read_symlink(fd.path(), gone).string().rfind("socket:", 0) == 0;
    }
    return count;
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

// A display number may have five digits; a protocol of TCP asks the port
// only, never the local socket of the same number.
TEST(HasDisplayTest, LocalServersAnswerInEveryFormOfTheirName) {
    TempDir temp;
    const int number = 10000 + getpid() % 1000;
    const std::string n = std::to_string(number);
    const std::string socketPath = (temp / "X-socket").string();
    const std::string wayland = "wayland-test";
    const struct {
        std::string display;
        std::string waylandDisplay;
        bool answers = true;
    } cases[] = {
        {":" + n, ""}, {":" + n + ".0", ""}, {"unix:" + n, ""}, {"unix/:" + n + ".1", ""},
        {socketPath + ":0", ""}, {"", wayland}, {"", (temp / wayland).string()},
        {"tcp/:" + n, "", false}, {"inet/:" + n, "", false},
    };
    for (const auto& c : cases) {
        const ScopedEnvironment env{
            {"DISPLAY", c.display}, {"WAYLAND_DISPLAY", c.waylandDisplay}, {"XDG_RUNTIME_DIR", temp.Path().string()}};
        {
            const Listener x("/tmp/.X11-unix/X" + n, true);
            const Listener path(socketPath, false);
            const Listener wl((temp / wayland).string(), false);
            EXPECT_EQ(platform::HasDisplay(), c.answers) << c.display << c.waylandDisplay;
        }
        fs::remove(socketPath);
        fs::remove(temp / wayland);
        EXPECT_FALSE(platform::HasDisplay()) << c.display << c.waylandDisplay;
    }
}

// A local display with no socket of its own is asked on its port, as the X
// library would, unless its name insists on the socket. No probe leaves a
// descriptor open.
TEST(HasDisplayTest, ServerOnAHostAnswersOnItsPort) {
    const size_t sockets = OpenSockets();
    std::optional<Listener> server(std::in_place, 6000 + 4000 + getpid() % 1000);
    if (server->port == 0) GTEST_SKIP() << "no free port";
    const std::string n = std::to_string(server->port - 6000);
    const std::pair<std::string, bool> cases[] = {
        {"localhost:" + n, true}, {"127.0.0.1:" + n + ".0", true}, {"tcp/localhost:" + n, true},
        {":" + n, true},          {"unix/:" + n, false},
    };
    for (const auto& [display, answers] : cases) {
        const ScopedEnvironment env{{"DISPLAY", display}};
        EXPECT_EQ(platform::HasDisplay(), answers) << display;
    }
    server.reset();
    const ScopedEnvironment env{{"DISPLAY", "localhost:" + n}};
    EXPECT_FALSE(platform::HasDisplay());
    EXPECT_EQ(OpenSockets(), sockets);
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
