// The least a sweep with the default filters must do, and nothing else: list
// the tree (every folder opened relative to its parent, links not followed),
// read the stored attributes of each file named *.log, and unlink those the
// attributes do not mark as system files. One thread, the listing's order.
//
//   floor_walk ROOT
//
// The attributes are read as the program reads them: getxattrat relative to
// the open folder, or, on kernels without it, by opening the file and asking
// the descriptor; a value missing means none, one that cannot be read or
// decoded spares the file.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/DosAttributes.h"

namespace {

#if defined(SYS_getxattrat)
constexpr long GetXattrAtCall = SYS_getxattrat;
#else
constexpr long GetXattrAtCall = 464;  // x86-64 and AArch64
#endif

struct XattrArgs {
    uint64_t value;
    uint32_t size;
    uint32_t flags;
};

bool getxattratRefused = false;
size_t deleted = 0;

ssize_t ReadDosAttrib(int dirFd, const char* name, unsigned char* value, size_t size) {
    if (!getxattratRefused) {
        XattrArgs args{reinterpret_cast<uintptr_t>(value), static_cast<uint32_t>(size), 0};
        const ssize_t got = syscall(GetXattrAtCall, dirFd, name, AT_SYMLINK_NOFOLLOW, "user.DOSATTRIB", &args,
                                    sizeof args);
        if (got >= 0 || (errno != ENOSYS && errno != EPERM)) return got;
        getxattratRefused = true;
    }
    const int fd = openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    const ssize_t got = fgetxattr(fd, "user.DOSATTRIB", value, size);
    const int error = errno;
    close(fd);
    errno = error;
    return got;
}

bool IsSystemFile(int dirFd, const char* name) {
    unsigned char value[256];
    const ssize_t size = ReadDosAttrib(dirFd, name, value, sizeof value);
    if (size < 0) return errno != ENODATA && errno != ENOTSUP;
    uint32_t attributes;
    return !platform::DecodeDosAttrib(value, static_cast<size_t>(size), attributes) ||
           (attributes & platform::AttributeSystem);
}

bool Matches(const char* name) {
    const size_t length = std::strlen(name);
    return length >= 4 && std::memcmp(name + length - 4, ".log", 4) == 0;
}

// Only a file system that leaves the type out costs a call more per entry.
unsigned char TypeOf(int dirFd, const dirent& d) {
    if (d.d_type != DT_UNKNOWN) return d.d_type;
    struct stat st;
    if (fstatat(dirFd, d.d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) return DT_UNKNOWN;
    return IFTODT(st.st_mode);
}

// Takes `fd` over and closes it.
void Walk(int fd) {
    DIR* dir = fdopendir(fd);
    if (!dir) {
        close(fd);
        return;
    }
    while (const dirent* d = readdir(dir)) {
        if (d->d_name[0] == '.' && (!d->d_name[1] || (d->d_name[1] == '.' && !d->d_name[2]))) continue;
        const unsigned char type = TypeOf(fd, *d);
        if (type == DT_DIR) {
            const int child = openat(fd, d->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (child >= 0) Walk(child);
        } else if (type == DT_REG && Matches(d->d_name) && !IsSystemFile(fd, d->d_name)) {
            deleted += unlinkat(fd, d->d_name, 0) == 0;
        }
    }
    closedir(dir);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s ROOT\n", argv[0]);
        return 2;
    }
    const int root = open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (root < 0) {
        std::perror(argv[1]);
        return 1;
    }
    Walk(root);
    std::printf("%zu deleted\n", deleted);
    return 0;
}
