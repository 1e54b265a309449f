#include "platform/EntryInfo_posix.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr const char* DosAttribName = "user.DOSATTRIB";
constexpr size_t DosAttribMaxSize = 256;

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
uint32_t AttributesOf(int dirFd, const char* name, bool link, uint32_t asked, const struct stat* st) {
    uint32_t attributes = name[0] == '.' ? AttributeHidden : 0;
    if (link) return attributes & asked;
    if (st && !(st->st_mode & S_IWUSR)) attributes |= AttributeReadOnly;
    return (attributes | StoredAttributes(dirFd, name)) & asked;
}

}  // namespace

// The mode is needed only for the time and the read-only bit; the stored
// attributes only when some bit is asked.
bool AskEntryInfo(int dirFd, const char* name, bool link, uint32_t attributes, bool lastWrite, EntryInfo& info) {
    struct stat st;
    const bool statted = NeedsStatus(attributes, lastWrite);
    if (statted && fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    info.lastWrite = statted ? st.st_mtim.tv_sec : 0;
    info.size = statted ? static_cast<uint64_t>(st.st_size) : 0;
    info.attributes = attributes ? AttributesOf(dirFd, name, link, attributes, statted ? &st : nullptr) : 0;
    return true;
}

}  // namespace platform
