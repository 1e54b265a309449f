#include "platform/SafeRoot_posix.h"

#include <cerrno>
#include <fcntl.h>
#include <limits.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// As many as the kernel itself follows in one lookup.
constexpr int MaxLinks = 40;

// Passing from `from` into `to` would let the owner of `from` choose where
// the sweep goes, into files it does not own.
bool UnsafeTransition(const struct stat& from, const struct stat& to) {
    return !TrustedOwner(from.st_uid) && from.st_uid != to.st_uid;
}

constexpr mode_t OthersWrite = S_IWGRP | S_IWOTH;

// What makes an entry one that someone other than root and the running user
// may have chosen; false when there is nothing.
bool ForeignHand(const struct stat& st, WayRefusal::Reason& reason) {
    if (!TrustedOwner(st.st_uid)) reason = WayRefusal::Reason::ForeignOwner;
    else if (S_ISREG(st.st_mode) && (st.st_mode & OthersWrite)) reason = WayRefusal::Reason::WritableByOthers;
    else if (S_ISDIR(st.st_mode) && (st.st_mode & OthersWrite) && !(st.st_mode & S_ISVTX))
        reason = WayRefusal::Reason::ReplaceableByOthers;
    else return false;
    return true;
}

// The root of a sweep may lie in another user's files, as long as she
// could not send the sweep out of them; the settings only in files nobody
// else has a hand in.
enum class Rule { Root, OwnFile };

class SafeWalk {
public:
    SafeWalk(Rule rule, bool& refused, WayRefusal* refusal) : rule(rule), refused(refused), refusal(refusal) {}
    ~SafeWalk() { Close(); }

    int Open(const char* path) {
        todo = path;
        if (!Restart(path[0] == '/' ? "/" : ".")) return -1;
        for (std::string name; TakeName(name);) {
            if (!Step(name)) return -1;
        }
        if (rule == Rule::OwnFile) return TakeFile();
        // Reached however it was spelt: "/srv/..", a link to "/".
        if (walked.empty()) {
            Refuse(-1, WayRefusal::Reason::SystemRoot, "/");
            return -1;
        }
        if (!S_ISDIR(st.st_mode)) {
            errno = ENOTDIR;
            return -1;
        }
        return openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
    }

private:
    bool Restart(const char* from) {
        Close();
        fd = open(from, O_PATH | O_DIRECTORY | O_CLOEXEC);
        walked = from[0] == '/' ? "" : ".";
        return fd >= 0 && fstat(fd, &st) == 0 && Judge(-1, st, walked);
    }

    // Under the settings' rule, every entry reached on the way.
    bool Judge(int entry, const struct stat& entrySt, const std::string& entryPath) {
        WayRefusal::Reason reason;
        if (rule != Rule::OwnFile || !ForeignHand(entrySt, reason)) return true;
        return Refuse(entry, reason, entryPath, &entrySt);
    }

    // The walk ends on the file itself, opened for reading by its name in
    // the directory reached before it; the same file as the one judged.
    int TakeFile() {
        if (!S_ISREG(st.st_mode) || parent < 0) {
            errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
            return -1;
        }
        const int file = openat(parent, lastName.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        struct stat fileSt;
        if (file >= 0 && fstat(file, &fileSt) == 0 && fileSt.st_dev == st.st_dev && fileSt.st_ino == st.st_ino)
            return file;
        if (file >= 0) close(file);
        errno = EAGAIN;
        return -1;
    }

    // The next name of what is left to walk; "." and empty names are passed.
    bool TakeName(std::string& name) {
        while (!todo.empty()) {
            const size_t slash = todo.find('/');
            name = todo.substr(0, slash);
            todo.erase(0, slash == std::string::npos ? todo.size() : slash + 1);
            if (!name.empty() && name != ".") return true;
        }
        return false;
    }

    bool Step(const std::string& name) {
        const int child = openat(fd, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
        struct stat childSt;
        if (child < 0 || fstat(child, &childSt) != 0) return Abandon(child);
        const std::string childPath = name == ".." ? Parent() : walked + "/" + name;
        if (!Judge(child, childSt, childPath)) return false;
        if (S_ISLNK(childSt.st_mode)) return FollowLink(child, childSt, childPath);
        if (UnsafeTransition(st, childSt)) return Refuse(child, WayRefusal::Reason::UnsafeTransition, childPath);
        Keep(name);
        fd = child;
        st = childSt;
        walked = childPath;
        return true;
    }

    // The directory just left stays open, so that a file the walk ends on
    // can be opened by its name there.
    void Keep(const std::string& name) {
        if (parent >= 0) close(parent);
        parent = fd;
        fd = -1;
        lastName = name;
    }

    // A link is read through its own descriptor, so it cannot be swapped
    // between the check of its owner and the reading of its target.
    // Both steps are judged: from the directory to the link (another user's
    // directory may hold only her own links), and from the link to where it
    // leads (her link only into her own files).
    bool FollowLink(int link, const struct stat& linkSt, const std::string& linkPath) {
        if (!TrustedOwner(linkSt.st_uid) && linkSt.st_uid != st.st_uid)
            return Refuse(link, WayRefusal::Reason::ForeignLink, linkPath);
        if (UnsafeTransition(st, linkSt)) return Refuse(link, WayRefusal::Reason::UnsafeTransition, linkPath);
        if (++links > MaxLinks) return Refuse(link, WayRefusal::Reason::TooManyLinks, linkPath);
        char target[PATH_MAX];
        const ssize_t size = readlinkat(link, "", target, sizeof target);
        if (size <= 0 || static_cast<size_t>(size) >= sizeof target) return Abandon(link);
        close(link);
        todo = std::string(target, size) + "/" + todo;
        if (target[0] != '/') return true;
        // From the link's owner to whoever owns "/": the same rule as a step.
        const struct stat from = linkSt;
        if (!Restart("/")) return false;
        if (UnsafeTransition(from, st)) return Refuse(-1, WayRefusal::Reason::UnsafeTransition, linkPath);
        return true;
    }

    std::string Parent() const {
        if (walked.empty() || walked[0] != '/') return walked.empty() ? walked : walked + "/..";
        return walked.substr(0, walked.rfind('/'));
    }

    bool Refuse(int child, WayRefusal::Reason reason, const std::string& at, const struct stat* atSt = nullptr) {
        if (child >= 0) close(child);
        refused = true;
        if (refusal)
            *refusal = {reason, at.empty() ? "/" : at, atSt ? atSt->st_uid : 0u, atSt ? atSt->st_mode & 07777u : 0u};
        return false;
    }

    bool Abandon(int child) {
        const int error = errno;
        if (child >= 0) close(child);
        errno = error;
        return false;
    }

    void Close() {
        for (int* open : {&fd, &parent}) {
            if (*open >= 0) close(*open);
            *open = -1;
        }
    }

    const Rule rule;
    bool& refused;
    WayRefusal* refusal;
    int fd = -1;
    int parent = -1;        // the directory holding `fd`, for a file to be opened there
    std::string lastName;   // the name `fd` was reached by
    struct stat st {};
    std::string todo;
    std::string walked;  // the real path so far, links resolved; empty for "/"
    int links = 0;
};

}  // namespace

bool TrustedOwner(uid_t owner) { return owner == 0 || owner == geteuid(); }

int OpenRootSafely(const char* path, bool& refused, WayRefusal* refusal) {
    refused = false;
    return SafeWalk(Rule::Root, refused, refusal).Open(path);
}

int OpenOwnFileSafely(const char* path, bool& refused, WayRefusal* refusal) {
    refused = false;
    return SafeWalk(Rule::OwnFile, refused, refusal).Open(path);
}

}  // namespace platform
