#include "platform/Process.h"

#include <algorithm>
#include <cstddef>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace platform {

std::string ExecutablePath() {
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
    return n > 0 && static_cast<size_t>(n) < sizeof buffer ? std::string(buffer, n) : std::string();
}

bool HasDisplay() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

InstanceGuard::InstanceGuard(const char* name) : name(name) {}

InstanceGuard::~InstanceGuard() {
    if (handle >= 0) close(static_cast<int>(handle));
}

namespace {

// A socket in the abstract namespace exists only while some process holds it
// open: the kernel drops the name when the holder ends, however it ends.
int BindAbstract(const std::string& name) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const size_t length = std::min(name.size(), sizeof address.sun_path - 1);
    std::memcpy(address.sun_path + 1, name.data(), length);
    const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), size) == 0) return fd;
    close(fd);
    return -1;
}

}  // namespace

bool InstanceGuard::Acquire(int waitMs) {
    if (handle >= 0) return true;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        handle = BindAbstract(name);
        if (handle >= 0) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace platform
