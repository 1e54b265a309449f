#include "platform/Directory.h"

#include <atomic>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <algorithm>
#include <climits>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/SafeRoot_posix.h"

namespace platform {

struct Directory::State {
    int fd = -1;
    DIR* stream = nullptr;
    uint64_t mountId = 0;
    std::string name;  // in the directory it was opened through

    ~State() {
        if (stream)
            closedir(stream);  // closes fd too
        else if (fd >= 0)
            close(fd);
    }
};

namespace {

constexpr const char* DosAttribName = "user.DOSATTRIB";
constexpr size_t DosAttribMaxSize = 256;

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

// The mount a directory belongs to. The mount id tells bind mounts of the same
// file system apart, which the device number cannot; it is the fallback only
// on kernels without mount ids.
bool MountOf(int fd, uint64_t& mountId, bool& mountRoot) {
    struct statx sx;
    if (statx(fd, "", AT_EMPTY_PATH, STATX_MNT_ID, &sx) != 0) return false;
    mountId =
        (sx.stx_mask & STATX_MNT_ID) ? sx.stx_mnt_id : uint64_t{sx.stx_dev_major} << 32 | sx.stx_dev_minor;
    mountRoot =
        (sx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) && (sx.stx_attributes & STATX_ATTR_MOUNT_ROOT);
    return true;
}

// Only a link root or the running user made is looked through: looking
// through another user's link, with the sweep's rights, would tell her by
// its fate what lies where she may not look herself. The link is read
// through its own descriptor, so that it is the one whose owner was asked.
bool TrustedLinkToDirectory(int dirFd, const char* name) {
    const int link = openat(dirFd, name, O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (link < 0) return false;
    struct stat st;
    char target[PATH_MAX];
    ssize_t size = -1;
    if (fstat(link, &st) == 0 && S_ISLNK(st.st_mode) && TrustedOwner(st.st_uid))
        size = readlinkat(link, "", target, sizeof target);
    close(link);
    if (size <= 0 || static_cast<size_t>(size) >= sizeof target) return false;
    target[size] = 0;
    return fstatat(dirFd, target, &st, 0) == 0 && S_ISDIR(st.st_mode);
}

// Some file systems never fill in d_type; only then is the entry examined.
bool TypeOf(int dirFd, const dirent& d, unsigned char& type) {
    type = d.d_type;
    if (type != DT_UNKNOWN) return true;
    struct stat st;
    if (fstatat(dirFd, d.d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    type = IFTODT(st.st_mode);
    return true;
}

// False for an entry gone meanwhile.
bool Classify(int dirFd, const dirent& d, DirEntry& entry) {
    unsigned char type;
    if (!TypeOf(dirFd, d, type)) return false;
    entry.name = entry.matchName = d.d_name;
    entry.link = type == DT_LNK;
    entry.kind = type == DT_DIR                                   ? EntryKind::Directory
                 : entry.link && TrustedLinkToDirectory(dirFd, d.d_name) ? EntryKind::DirectoryLink
                 : type == DT_REG || entry.link                   ? EntryKind::File
                                                                  : EntryKind::Special;
    return true;
}

// getxattrat came with Linux 6.13; the C library may not name it yet.
#if defined(SYS_getxattrat)
constexpr long GetXattrAtCall = SYS_getxattrat;
#elif defined(__x86_64__) || defined(__aarch64__)
constexpr long GetXattrAtCall = 464;
#else
constexpr long GetXattrAtCall = -1;  // no number known: the kernel answers ENOSYS
#endif

// The argument block of getxattrat: where the value goes, its room, and flags
// that must be 0 when reading.
struct XattrArgs {
    uint64_t value;
    uint32_t size;
    uint32_t flags;
};

// Set once the kernel (or a sandbox's system call filter, which answers EPERM
// for calls it does not know) has refused getxattrat: asking again per file
// would double the cost for nothing.
std::atomic<bool> xattrAtRefused{false};

// One call, relative to the open directory, without following a final link.
ssize_t GetXattrAt(int dirFd, const char* name, void* value, size_t size) {
    XattrArgs args{reinterpret_cast<uintptr_t>(value), static_cast<uint32_t>(size), 0};
    return syscall(GetXattrAtCall, dirFd, name, AT_SYMLINK_NOFOLLOW, DosAttribName, &args, sizeof args);
}

// Older kernels: open the file itself (never through a link, never waiting on
// a FIFO put in its place) and ask the descriptor.
ssize_t GetXattrByOpening(int dirFd, const char* name, void* value, size_t size) {
    const int fd = openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    const ssize_t got = fgetxattr(fd, DosAttribName, value, size);
    const int error = errno;
    close(fd);
    errno = error;
    return got;
}

ssize_t GetDosAttrib(int dirFd, const char* name, void* value, size_t size) {
    if (!xattrAtRefused.load(std::memory_order_relaxed)) {
        const ssize_t got = GetXattrAt(dirFd, name, value, size);
        if (got >= 0 || (errno != ENOSYS && errno != EPERM)) return got;
        xattrAtRefused.store(true, std::memory_order_relaxed);
    }
    return GetXattrByOpening(dirFd, name, value, size);
}

// The attributes a file server stored for the file. Missing means none;
// anything unreadable means all three, so the file is spared rather than
// guessed about.
uint32_t StoredAttributes(int dirFd, const char* name) {
    unsigned char value[DosAttribMaxSize];
    const ssize_t size = GetDosAttrib(dirFd, name, value, sizeof value);
    if (size < 0) return errno == ENODATA || errno == ENOTSUP ? 0 : AttributesUnknown;
    uint32_t attributes;
    if (!DecodeDosAttrib(value, static_cast<size_t>(size), attributes)) return AttributesUnknown;
    return attributes & AttributesUnknown;
}

// A link carries no attributes of its own (nothing can be stored on it): only
// its name can make it hidden.
uint32_t AttributesOf(int dirFd, const DirEntry& entry, uint32_t asked, const struct stat* st) {
    uint32_t attributes = entry.name[0] == '.' ? AttributeHidden : 0;
    if (entry.link) return attributes & asked;
    if (st && !(st->st_mode & S_IWUSR)) attributes |= AttributeReadOnly;
    return (attributes | StoredAttributes(dirFd, entry.name)) & asked;
}

RemoveResult RemoveResultOf(int result) {
    if (result == 0) return RemoveResult::Removed;
    switch (errno) {
    case ENOENT: return RemoveResult::Gone;
    case ENOTEMPTY:
    case EEXIST: return RemoveResult::NotEmpty;
    case EACCES:
    case EPERM:
    case EROFS: return RemoveResult::Denied;
    case EBUSY:
    case ETXTBSY: return RemoveResult::InUse;
    default: return RemoveResult::Failed;
    }
}

}  // namespace

int DirectoryBudget() {
    constexpr rlim_t Wanted = 65536;
    constexpr int Reserve = 64;  // for vorn.ini, the lock, the output and the libraries
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return 0;
    const rlim_t raised = limit.rlim_max == RLIM_INFINITY ? Wanted : std::min(limit.rlim_max, Wanted);
    if (limit.rlim_cur < raised) {
        limit.rlim_cur = raised;
        if (setrlimit(RLIMIT_NOFILE, &limit) != 0) getrlimit(RLIMIT_NOFILE, &limit);
    }
    return static_cast<int>(std::min<rlim_t>(limit.rlim_cur, Wanted)) - Reserve;
}

Directory::Directory() = default;

Directory::~Directory() = default;

OpenResult Directory::Open(const char* path, WayRefusal* refusal) {
    state = std::make_unique<State>();
    bool refused = false;
    state->fd = OpenRootSafely(path, refused, refusal);
    if (refused) return OpenResult::Refused;
    bool mountRoot;
    if (state->fd < 0 || !MountOf(state->fd, state->mountId, mountRoot)) return OpenResult::Unreadable;
    state->stream = fdopendir(state->fd);
    return state->stream ? OpenResult::Listed : OpenResult::Unreadable;
}

OpenResult Directory::Open(const Directory& parent, const char* name) {
    state = std::make_unique<State>();
    state->name = name;
    state->fd = openat(parent.state->fd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (state->fd < 0) {
        if (errno == EMFILE || errno == ENFILE) return OpenResult::NoRoom;
        return errno == ENOENT || errno == ENOTDIR || errno == ELOOP ? OpenResult::NotEntered
                                                                     : OpenResult::Unreadable;
    }
    bool mountRoot;
    if (!MountOf(state->fd, state->mountId, mountRoot) || mountRoot ||
        state->mountId != parent.state->mountId)
        return OpenResult::NotEntered;
    state->stream = fdopendir(state->fd);
    return state->stream ? OpenResult::Listed : OpenResult::Unreadable;
}

bool Directory::Next(DirEntry& entry) {
    if (!state || !state->stream) return false;
    while (const dirent* d = readdir(state->stream))
        if (!IsDotOrDotDot(d->d_name) && Classify(state->fd, *d, entry)) return true;
    return false;
}

// The mode is needed only for the time and the read-only bit; the stored
// attributes only when some bit is asked.
bool Directory::ReadInfo(const DirEntry& entry, uint32_t attributes, bool lastWrite, EntryInfo& info) const {
    struct stat st;
    const bool statted = lastWrite || (attributes & AttributeReadOnly);
    if (statted && fstatat(state->fd, entry.name, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    info.lastWrite = statted ? st.st_mtim.tv_sec : 0;
    info.size = statted ? static_cast<uint64_t>(st.st_size) : 0;
    info.attributes = attributes ? AttributesOf(state->fd, entry, attributes, statted ? &st : nullptr) : 0;
    return true;
}

RemoveResult Directory::DeleteEntry(const DirEntry& entry) const {
    return RemoveResultOf(unlinkat(state->fd, entry.name, 0));
}

RemoveResult Directory::RemoveSubdirectory(Directory& child) const {
    const std::string name = std::move(child.state->name);
    child.state.reset();
    return RemoveResultOf(unlinkat(state->fd, name.c_str(), AT_REMOVEDIR));
}

}  // namespace platform
