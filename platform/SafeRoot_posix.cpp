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

// Owners whose directories and links may lead anywhere: the superuser, and
// the user running the sweep, who can only delete what it may delete anyway.
bool Trusted(uid_t owner) { return owner == 0 || owner == geteuid(); }

// Passing from `from` into `to` would let the owner of `from` choose where
// the sweep goes, into files it does not own.
bool UnsafeTransition(const struct stat& from, const struct stat& to) {
    return !Trusted(from.st_uid) && from.st_uid != to.st_uid;
}

class RootWalk {
public:
    RootWalk(bool& refused, RootRefusal* refusal) : refused(refused), refusal(refusal) {}
    ~RootWalk() { Close(); }

    int Open(const char* path) {
        todo = path;
        if (!Restart(path[0] == '/' ? "/" : ".")) return -1;
        for (std::string name; TakeName(name);) {
            if (!Step(name)) return -1;
        }
        // Reached however it was spelt: "/srv/..", a link to "/".
        if (walked.empty()) {
            Refuse(-1, RootRefusal::Reason::SystemRoot, "/");
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
        return fd >= 0 && fstat(fd, &st) == 0;
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
        if (S_ISLNK(childSt.st_mode)) return FollowLink(child, childSt, childPath);
        if (UnsafeTransition(st, childSt)) return Refuse(child, RootRefusal::Reason::UnsafeTransition, childPath);
        Close();
        fd = child;
        st = childSt;
        walked = childPath;
        return true;
    }

    // A link is read through its own descriptor, so it cannot be swapped
    // between the check of its owner and the reading of its target.
    bool FollowLink(int link, const struct stat& linkSt, const std::string& linkPath) {
        if (!Trusted(linkSt.st_uid) && linkSt.st_uid != st.st_uid)
            return Refuse(link, RootRefusal::Reason::ForeignLink, linkPath);
        if (++links > MaxLinks) return Refuse(link, RootRefusal::Reason::TooManyLinks, linkPath);
        char target[PATH_MAX];
        const ssize_t size = readlinkat(link, "", target, sizeof target);
        if (size <= 0 || static_cast<size_t>(size) >= sizeof target) return Abandon(link);
        close(link);
        todo = std::string(target, size) + "/" + todo;
        if (target[0] != '/') return true;
        // From the link's owner to whoever owns "/": the same rule as a step.
        const struct stat from = linkSt;
        if (!Restart("/")) return false;
        if (UnsafeTransition(from, st)) return Refuse(-1, RootRefusal::Reason::UnsafeTransition, "/");
        return true;
    }

    std::string Parent() const {
        if (walked.empty() || walked[0] != '/') return walked.empty() ? walked : walked + "/..";
        return walked.substr(0, walked.rfind('/'));
    }

    bool Refuse(int child, RootRefusal::Reason reason, const std::string& at) {
        if (child >= 0) close(child);
        refused = true;
        if (refusal) *refusal = {reason, at.empty() ? "/" : at};
        return false;
    }

    bool Abandon(int child) {
        const int error = errno;
        if (child >= 0) close(child);
        errno = error;
        return false;
    }

    void Close() {
        if (fd >= 0) close(fd);
        fd = -1;
    }

    bool& refused;
    RootRefusal* refusal;
    int fd = -1;
    struct stat st {};
    std::string todo;
    std::string walked;  // the real path so far, links resolved; empty for "/"
    int links = 0;
};

}  // namespace

int OpenRootSafely(const char* path, bool& refused, RootRefusal* refusal) {
    refused = false;
    return RootWalk(refused, refusal).Open(path);
}

}  // namespace platform
