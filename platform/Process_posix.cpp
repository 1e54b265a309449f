#include "platform/Process.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

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

// Files left by somebody else under the lock file's name are passed over for
// the next name: every instance walks the same names and stops at the same
// first usable one, so they still meet on one file.
constexpr int LockFileNames = 4;

struct LockPlace {
    std::string directory;
    bool hidden;  // a dot before the file's name, in a home directory
};

std::string HomeDirectory() {
    std::vector<char> buffer(16384);
    passwd entry;
    passwd* found = nullptr;
    getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found);
    return found && found->pw_dir ? found->pw_dir : "";
}

// Chosen by the user id alone, never by the environment, so that a scheduled
// run and a window of the same user always meet on the same file. The
// superuser's goes to /run, which only it can write. Another user's goes to
// its home directory, which exists whether or not a session is open; a user
// without a usable one gets a directory of its own under /tmp.
std::vector<LockPlace> LockPlaces() {
    std::vector<LockPlace> places;
    if (geteuid() == 0) places.push_back({"/run", false});
    places.push_back({HomeDirectory(), true});
    places.push_back({"/tmp/vorn-" + std::to_string(geteuid()), false});
    return places;
}

// Only this user (and the superuser) can add, replace or remove entries in a
// directory it owns that neither group nor others may write. Checked on the
// directory actually opened, wherever links along the path led.
int OpenPrivateDirectory(const std::string& path) {
    if (path.empty() || path[0] != '/') return -1;
    if (path.rfind("/tmp/", 0) == 0) mkdir(path.c_str(), 0700);
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat st;
    if (fd >= 0 && fstat(fd, &st) == 0 && st.st_uid == geteuid() && !(st.st_mode & (S_IWGRP | S_IWOTH))) return fd;
    if (fd >= 0) close(fd);
    return -1;
}

// A regular file of this user's under `fileName`, never reached through a link.
int OpenOwnFile(int dirFd, const std::string& fileName) {
    const int fd = openat(dirFd, fileName.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                          0600);
    struct stat st;
    if (fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid()) return fd;
    if (fd >= 0) close(fd);
    return -1;
}

// A lock the file system cannot hold (a network home without a lock manager)
// makes the place unusable; one that another instance holds does not.
bool Lockable(int fd) { return flock(fd, LOCK_EX | LOCK_NB) == 0 || errno == EWOULDBLOCK; }

int OpenLockFileIn(const LockPlace& place, const std::string& name) {
    const int dirFd = OpenPrivateDirectory(place.directory);
    if (dirFd < 0) return -1;
    int fd = -1;
    for (int i = 0; i < LockFileNames && fd < 0; ++i) {
        const std::string fileName =
            (place.hidden ? "." : "") + name + ".lock" + (i ? "." + std::to_string(i) : std::string());
        fd = OpenOwnFile(dirFd, fileName);
    }
    close(dirFd);
    if (fd >= 0 && !Lockable(fd)) {
        close(fd);
        return -1;
    }
    return fd;
}

int OpenLockFile(const std::string& name) {
    for (const LockPlace& place : LockPlaces()) {
        const int fd = OpenLockFileIn(place, name);
        if (fd >= 0) return fd;
    }
    return -1;
}

}  // namespace

// flock belongs to the open file: the kernel lets go of it when the holder
// ends, however it ends, and the file's mere presence decides nothing.
bool InstanceGuard::Acquire(int waitMs) {
    if (handle >= 0) return true;
    const int fd = OpenLockFile(name);
    if (fd < 0) return false;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || Clock::now() >= deadline) {
            close(fd);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    handle = fd;
    return true;
}

}  // namespace platform
