#include "platform/InstanceGuard.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

using Reason = GuardPlaceProblem::Reason;

// Names left by somebody else (a file, a link, a directory another user made
// first, a lock file whose mode was widened) are passed over for the next
// name: every instance walks the same names and stops at the same first
// usable one, so they still meet on one file.
constexpr int NamesPerPlace = 4;

constexpr mode_t OthersBits = S_IRWXG | S_IRWXO;

std::string Numbered(const std::string& name, int i) { return i ? name + "." + std::to_string(i) : name; }

std::string HomeDirectory() {
    std::string buffer(16384, '\0');
    passwd entry;
    passwd* found = nullptr;
    getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found);
    return found && found->pw_dir ? found->pw_dir : "";
}

class LockPlaces {
public:
    explicit LockPlaces(std::vector<GuardPlaceProblem>& problems) : problems(problems) {}

    // The place is chosen by the user id alone, never by the environment, so
    // that a scheduled run and a window of the same user always meet on the
    // same file. The superuser's goes to /run, which only it can write.
    // Another user's goes to its home directory, which exists whether or not
    // a session is open; a user without a usable one gets a directory of its
    // own under /tmp.
    int OpenLockFile(const std::string& name) {
        const std::string fileName = name + ".lock";
        int fd = geteuid() == 0 ? OpenIn("/run", fileName) : -1;
        if (fd < 0) fd = OpenIn(HomeDirectory(), "." + fileName);
        const std::string own = "/tmp/vorn-" + std::to_string(geteuid());
        for (int i = 0; i < NamesPerPlace && fd < 0; ++i) {
            mkdir(Numbered(own, i).c_str(), 0700);  // one that exists already is used only if it is ours alone
            fd = OpenIn(Numbered(own, i), fileName);
        }
        return fd;
    }

private:
    int OpenIn(const std::string& directory, const std::string& fileName) {
        const int dirFd = OpenPrivateDirectory(directory);
        if (dirFd < 0) return -1;
        int fd = -1;
        for (int i = 0; i < NamesPerPlace && fd < 0; ++i) fd = OpenOwnFile(dirFd, Numbered(fileName, i));
        close(dirFd);
        if (fd < 0) return Note(directory, Reason::NoFile);
        if (!Lockable(fd)) {
            close(fd);
            return Note(directory + "/" + fileName, Reason::NoLock);
        }
        return fd;
    }

    // Only this user (and the superuser) can add, replace or remove entries
    // in a directory it owns that neither group nor others may write.
    // Checked on the directory actually opened, wherever links led.
    int OpenPrivateDirectory(const std::string& path) {
        if (path.empty() || path[0] != '/') return Note(path.empty() ? "~" : path, Reason::NoDirectory);
        const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        struct stat st;
        if (fd < 0 || fstat(fd, &st) != 0) return Note(path, Reason::NoDirectory, fd);
        if (st.st_uid != geteuid()) return Note(path, Reason::NotOwned, fd);
        if (st.st_mode & (S_IWGRP | S_IWOTH)) return Note(path, Reason::OpenToOthers, fd);
        return fd;
    }

    // A regular file of this user's that nobody else may open, never reached
    // through a link. A file whose mode lets others in may be open in their
    // hands already, holding a lock of its own: it is not trusted, not even
    // once narrowed again. One that is merely narrower than read and write
    // for its owner is set back.
    static int OpenOwnFile(int dirFd, const std::string& fileName) {
        const int fd = openat(dirFd, fileName.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                              S_IRUSR | S_IWUSR);
        struct stat st;
        if (fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() &&
            !(st.st_mode & OthersBits)) {
            if ((st.st_mode & 07777) != (S_IRUSR | S_IWUSR)) fchmod(fd, S_IRUSR | S_IWUSR);
            return fd;
        }
        if (fd >= 0) close(fd);
        return -1;
    }

    // A lock the file system cannot hold (a network home without a lock
    // manager) makes the place unusable; one that another instance holds
    // does not.
    static bool Lockable(int fd) { return flock(fd, LOCK_EX | LOCK_NB) == 0 || errno == EWOULDBLOCK; }

    int Note(const std::string& place, Reason reason, int fd = -1) {
        if (fd >= 0) close(fd);
        problems.push_back({place, reason});
        return -1;
    }

    std::vector<GuardPlaceProblem>& problems;
};

}  // namespace

InstanceGuard::InstanceGuard(const char* name) : name(name) {}

InstanceGuard::~InstanceGuard() {
    if (handle >= 0) close(static_cast<int>(handle));
}

// flock belongs to the open file: the kernel lets go of it when the holder
// ends, however it ends, and the file's mere presence decides nothing.
InstanceGuard::Result InstanceGuard::Acquire(int waitMs) {
    if (handle >= 0) return Result::Acquired;
    problems.clear();
    const int fd = LockPlaces(problems).OpenLockFile(name);
    if (fd < 0) return Result::Unavailable;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK || errno == EINTR;
        if (!held || Clock::now() >= deadline) {
            close(fd);
            if (!held) problems.push_back({name, GuardPlaceProblem::Reason::NoLock});
            return held ? Result::Held : Result::Unavailable;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    handle = fd;
    return Result::Acquired;
}

}  // namespace platform
