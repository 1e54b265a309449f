#include "platform/Directory.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <algorithm>
#include <climits>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include "platform/EntryInfo_posix.h"
#include "platform/FileSystems_posix.h"
#include "platform/InfoAhead_posix.h"
#include "platform/ListingBatch_posix.h"
#include "platform/SafeRoot_posix.h"

namespace platform {

struct Directory::State {
    int fd = -1;
    bool listable = false;
    uint64_t mountId = 0;
    std::string name;  // in the directory it was opened through
    ListingBatch batch;
    InfoAhead ahead;

    ~State() {
        ahead.Stop();  // before the directory it asks in closes
        if (fd >= 0) close(fd);
    }
};

namespace {

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
bool TypeOf(int dirFd, const char* name, unsigned char& type) {
    if (type != DT_UNKNOWN) return true;
    struct stat st;
    if (fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    type = IFTODT(st.st_mode);
    return true;
}

// False for an entry gone meanwhile.
bool Classify(int dirFd, const char* name, unsigned char type, DirEntry& entry) {
    if (!TypeOf(dirFd, name, type)) return false;
    entry.name = entry.matchName = name;
    entry.link = type == DT_LNK;
    entry.kind = type == DT_DIR                                      ? EntryKind::Directory
                 : entry.link && TrustedLinkToDirectory(dirFd, name) ? EntryKind::DirectoryLink
                 : type == DT_REG || entry.link                      ? EntryKind::File
                                                                     : EntryKind::Special;
    return true;
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
    state->listable = true;
    return OpenResult::Listed;
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
    state->listable = true;
    return OpenResult::Listed;
}

bool Directory::Remote() const {
    struct statfs fileSystem;
    return state && state->fd >= 0 && fstatfs(state->fd, &fileSystem) == 0 &&
           IsRemoteFileSystem(static_cast<uint32_t>(fileSystem.f_type));
}

// The tasks asking ahead in a batch are done before the next batch replaces it.
bool Directory::Next(DirEntry& entry) {
    if (!state || !state->listable) return false;
    ListingBatch& batch = state->batch;
    const char* name;
    unsigned char type;
    for (;;) {
        if (!batch.Take(name, type)) {
            state->ahead.Stop();
            if (!batch.Fill(state->fd)) return false;
        } else if (Classify(state->fd, name, type, entry)) {
            return true;
        }
    }
}

size_t Directory::AskAhead(uint32_t attributes, bool lastWrite, const std::function<bool(const char*)>& wanted,
                           const Executor& run, int tasks) {
    if (!state || !state->listable) return 0;
    return state->ahead.Start(state->batch, state->batch.Served(), state->fd, attributes, lastWrite, wanted, run,
                              tasks);
}

// An entry asked ahead is answered from what was asked; any other is asked now.
bool Directory::ReadInfo(const DirEntry& entry, uint32_t attributes, bool lastWrite, EntryInfo& info) const {
    const ListingBatch& batch = state->batch;
    const size_t at = batch.Served() - 1;
    if (batch.Served() > 0 && entry.name == batch.Name(at)) {
        const InfoAhead::Answer answer = state->ahead.Take(at, attributes, lastWrite, info);
        if (answer != InfoAhead::Answer::None) return answer == InfoAhead::Answer::Present;
    }
    return AskEntryInfo(state->fd, entry.name, entry.link, attributes, lastWrite, info);
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
