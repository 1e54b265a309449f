#include "platform/InstanceGuard.h"

#include <algorithm>
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
// name. In a directory every instance walks the same names and stops at the
// same first usable one, so they still meet on one file; for the directories
// under /tmp see OpenFallbackLockFiles.
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

using Clock = std::chrono::steady_clock;

class LockPlaces {
public:
    LockPlaces(const std::string& name, std::vector<GuardPlaceProblem>& problems)
        : fileName(name + ".lock"), own("/tmp/vorn-" + std::to_string(geteuid())), problems(problems) {}

    // The place is chosen by the user id alone, never by the environment, so
    // that a scheduled run and a window of the same user always meet on the
    // same file. The superuser's goes to /run, which only it can write.
    // Another user's goes to its home directory, which exists whether or not
    // a session is open; -1 when neither serves.
    int OpenHomeLockFile() {
        const int fd = geteuid() == 0 ? OpenIn("/run", fileName) : -1;
        return fd >= 0 ? fd : OpenIn(HomeDirectory(), "." + fileName);
    }

    // A user without a usable home gets a directory of its own under /tmp,
    // where another user may have taken the first names. Another user can
    // also give a name back (make it unusable while one instance chooses,
    // then remove it), so instances may have chosen different ones: each
    // holds the lock in every usable directory of the user's there, never
    // only the first. The first is made when none is usable; each directory
    // taken before is in `held` and left out.
    std::vector<int> OpenFallbackLockFiles(std::vector<bool>& held) {
        std::vector<int> fds;
        const bool found = std::find(held.begin(), held.end(), true) != held.end();
        for (int i = 0; i < NamesPerPlace; ++i) {
            if (held[i]) continue;
            // One that exists already is used only if it is ours alone.
            if (!found && fds.empty()) mkdir(Numbered(own, i).c_str(), 0700);
            const int fd = OpenIn(Numbered(own, i), fileName, O_NOFOLLOW);
            if (fd >= 0) fds.push_back(fd);
            held[i] = held[i] || fd >= 0;
        }
        return fds;
    }

private:
    int OpenIn(const std::string& directory, const std::string& name, int linkFlag = 0) {
        const int dirFd = OpenPrivateDirectory(directory, linkFlag);
        if (dirFd < 0) return -1;
        int fd = -1;
        for (int i = 0; i < NamesPerPlace && fd < 0; ++i) fd = OpenOwnFile(dirFd, Numbered(name, i));
        close(dirFd);
        if (fd < 0) return Note(directory, Reason::NoFile);
        if (!Lockable(fd)) {
            close(fd);
            return Note(directory + "/" + name, Reason::NoLock);
        }
        return fd;
    }

    // Only this user (and the superuser) can add, replace or remove entries
    // in a directory it owns that neither group nor others may write.
    // Checked on the directory actually opened, wherever links led; under
    // /tmp a link is another user's, never followed.
    int OpenPrivateDirectory(const std::string& path, int linkFlag) {
        if (path.empty() || path[0] != '/') return Note(path.empty() ? "~" : path, Reason::NoDirectory);
        const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | linkFlag);
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
    static int OpenOwnFile(int dirFd, const std::string& name) {
        const int fd = openat(dirFd, name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
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

    const std::string fileName;
    const std::string own;
    std::vector<GuardPlaceProblem>& problems;
};

// Each file in turn, waiting for each until the deadline.
InstanceGuard::Result LockEach(const std::vector<int>& fds, Clock::time_point deadline) {
    for (const int fd : fds) {
        while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const bool held = errno == EWOULDBLOCK || errno == EINTR;
            if (!held) return InstanceGuard::Result::Unavailable;
            if (Clock::now() >= deadline) return InstanceGuard::Result::Held;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    return InstanceGuard::Result::Acquired;
}

}  // namespace

InstanceGuard::InstanceGuard(const char* name) : name(name) {}

InstanceGuard::~InstanceGuard() {
    for (const intptr_t fd : handles) close(static_cast<int>(fd));
}

// flock belongs to the open file: the kernel lets go of it when the holder
// ends, however it ends, and the file's mere presence decides nothing. Under
// /tmp the places are looked at again once locked: one that another instance
// made meanwhile is then seen, and held by one of the two (or it holds
// the other's and both give way), never by each its own.
InstanceGuard::Result InstanceGuard::Acquire(int waitMs) {
    if (!handles.empty()) return Result::Acquired;
    problems.clear();
    LockPlaces places(name, problems);
    std::vector<bool> held(NamesPerPlace, false);
    std::vector<int> fds{places.OpenHomeLockFile()};
    const bool fallback = fds[0] < 0;
    if (fallback) fds = places.OpenFallbackLockFiles(held);
    if (fds.empty()) return Result::Unavailable;
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
    Result result = LockEach(fds, deadline);
    while (fallback && result == Result::Acquired) {
        const std::vector<int> more = places.OpenFallbackLockFiles(held);
        if (more.empty()) break;
        fds.insert(fds.end(), more.begin(), more.end());
        result = LockEach(more, deadline);
    }
    if (result == Result::Unavailable) problems.push_back({name, GuardPlaceProblem::Reason::NoLock});
    if (result == Result::Acquired) handles.assign(fds.begin(), fds.end());
    else for (const int fd : fds) close(fd);
    return result;
}

std::string FileIdentity(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return {};
    return std::to_string(st.st_dev) + "-" + std::to_string(st.st_ino);
}

}  // namespace platform
