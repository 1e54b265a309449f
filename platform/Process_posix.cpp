#include "platform/Process.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <netdb.h>
#include <poll.h>
#include <sched.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

std::string ExecutablePath() {
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
    return n > 0 && static_cast<size_t>(n) < sizeof buffer ? std::string(buffer, n) : std::string();
}

std::vector<std::string> Arguments(int argc, char** argv) { return {argv + std::min(argc, 1), argv + argc}; }

void ReplaceProcess(const std::string& path, char** argv) { execv(path.c_str(), argv); }

namespace {

// A server that does not answer within this time is taken for absent: the
// window framework would wait for it far longer, then give up for good.
constexpr int ConnectWaitMs = 1000;
constexpr int XTcpPortBase = 6000;
constexpr const char* XSocketPrefix = "/tmp/.X11-unix/X";

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Whether something accepts a connection at `address`; nothing is sent.
bool Answers(const sockaddr* address, socklen_t size) {
    const int fd = socket(address->sa_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    bool answered = connect(fd, address, size) == 0;
    // A local server whose queue is full is there all the same.
    if (!answered && errno == EAGAIN) answered = address->sa_family == AF_UNIX;
    if (!answered && errno == EINPROGRESS) {
        pollfd wait{fd, POLLOUT, 0};
        int error = 0;
        socklen_t length = sizeof error;
        answered = poll(&wait, 1, ConnectWaitMs) == 1 &&
                   getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
    }
    close(fd);
    return answered;
}

// A Unix socket by path, or by name in the abstract namespace.
bool LocalSocketAnswers(const std::string& name, bool abstract) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const size_t start = abstract ? 1 : 0;
    if (name.empty() || start + name.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path + start, name.data(), name.size());
    const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + start + name.size());
    return Answers(reinterpret_cast<const sockaddr*>(&address), size);
}

bool TcpAnswers(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return false;
    bool answered = false;
    for (const addrinfo* a = found; a && !answered; a = a->ai_next) answered = Answers(a->ai_addr, a->ai_addrlen);
    freeaddrinfo(found);
    return answered;
}

// "N" or "N.S": the display number N; -1 for anything else.
int DisplayNumber(const std::string& text) {
    const size_t dot = text.find('.');
    const std::string number = text.substr(0, dot);
    const std::string screen = dot == std::string::npos ? "0" : text.substr(dot + 1);
    const auto digits = [](const std::string& s) {
        return !s.empty() && s.size() <= 5 && s.find_first_not_of("0123456789") == std::string::npos;
    };
    return digits(number) && digits(screen) ? std::atoi(number.c_str()) : -1;
}

bool LocalXAnswers(int number) {
    const std::string socket = XSocketPrefix + std::to_string(number);
    return LocalSocketAnswers(socket, true) || LocalSocketAnswers(socket, false);
}

struct XServer {
    std::string protocol;
    std::string host;
    int number = -1;  // -1: not a display this system can reach
};

// "[protocol/][host]:N[.S]", the host of an IPv6 address in brackets or not.
// DECnet's "host::N" is not served here.
XServer ParseDisplay(const std::string& display) {
    XServer server;
    const size_t colon = display.rfind(':');
    if (colon == std::string::npos || (colon > 0 && display[colon - 1] == ':')) return server;
    const size_t slash = display.rfind('/', colon);
    const size_t hostAt = slash == std::string::npos ? 0 : slash + 1;
    if (hostAt > 0) server.protocol = display.substr(0, slash);
    server.host = display.substr(hostAt, colon - hostAt);
    if (server.host.size() > 2 && server.host.front() == '[' && server.host.back() == ']')
        server.host = server.host.substr(1, server.host.size() - 2);
    server.number = DisplayNumber(display.substr(colon + 1));
    return server;
}

// launchd hands out the path of a socket, followed by ":N".
std::string SocketPathOf(const std::string& display) {
    const size_t colon = display.rfind(':');
    return colon != std::string::npos && DisplayNumber(display.substr(colon + 1)) >= 0 ? display.substr(0, colon)
                                                                                         : display;
}

// No host, or "unix", means the server's local socket, and without a protocol
// TCP on this machine after that; a host, or "tcp", TCP port 6000 + N.
bool XAnswers() {
    const std::string display = Environment("DISPLAY");
    if (display.empty()) return false;
    if (display[0] == '/') return LocalSocketAnswers(SocketPathOf(display), false);
    const XServer server = ParseDisplay(display);
    if (server.number < 0) return false;
    const bool local = server.host.empty() || server.host == "unix";
    const bool tcp = server.protocol == "tcp" || server.protocol == "inet" || server.protocol == "inet6";
    if (local && !tcp) {
        if (LocalXAnswers(server.number)) return true;
        if (!server.protocol.empty()) return false;
    }
    return TcpAnswers(local ? "localhost" : server.host, XTcpPortBase + server.number);
}

// WAYLAND_DISPLAY names a socket in the user's runtime directory, or gives
// its absolute path.
bool WaylandAnswers() {
    const std::string name = Environment("WAYLAND_DISPLAY");
    if (name.empty()) return false;
    if (name[0] == '/') return LocalSocketAnswers(name, false);
    const std::string runtime = Environment("XDG_RUNTIME_DIR");
    return !runtime.empty() && LocalSocketAnswers(runtime + "/" + name, false);
}

// What one entry of QT_QPA_PLATFORM ("name" or "name:options") would find.
bool PlatformAnswers(const std::string& entry) {
    const std::string name = entry.substr(0, entry.find(':'));
    if (name == "xcb") return XAnswers();
    if (name.rfind("wayland", 0) == 0) return WaylandAnswers();
    // offscreen, minimal and the like draw without any display server.
    return true;
}

}  // namespace

// The window framework ends the process when it cannot open the display it
// was pointed at, so a stale DISPLAY must be found out here: each server is
// actually connected to. A platform named explicitly is tried in its list's
// order, as the framework does.
bool HasDisplay() {
    const std::string platforms = Environment("QT_QPA_PLATFORM");
    if (platforms.empty()) return XAnswers() || WaylandAnswers();
    for (size_t start = 0; start <= platforms.size();) {
        const size_t end = std::min(platforms.find(';', start), platforms.size());
        if (end > start && PlatformAnswers(platforms.substr(start, end - start))) return true;
        start = end + 1;
    }
    return false;
}

bool StartedByConsoleLauncher() { return false; }

int ProcessorCount() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) != 0) return 1;
    return std::max(CPU_COUNT(&set), 1);
}

}  // namespace platform
