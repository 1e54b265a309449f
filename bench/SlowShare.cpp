// A share some distance away, made on this machine: a pass-through FUSE file
// system that shows a backing folder at a mount point and waits a fixed time
// in every call it answers, as a server would make each call wait for its
// round trip.
//
//   slow_share [--delay-us N] BACKING MOUNTPOINT [FUSE options]
//   fusermount3 -u MOUNTPOINT
//
// FUSE answers calls on several threads at once (-o max_threads=N, 10 by
// default), so calls made in parallel wait in parallel, as on a share that
// takes many requests at a time; names in one folder are looked up side by
// side, as NFS and SMB clients look them up (see AgreeToParallelLookups).
// The kernel keeps no attributes, names or missing names between calls (see
// Configure): every question about a name is a round trip.

#define FUSE_USE_VERSION 312

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <fuse.h>
#include <fuse_lowlevel.h>
#include <linux/fuse.h>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/uio.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace {

int backing = -1;  // the backing folder, open before the mount
timespec delay{};

// Every call answered passes through here first.
void RoundTrip() {
    timespec left = delay;
    while (clock_nanosleep(CLOCK_MONOTONIC, 0, &left, &left) == EINTR) {
    }
}

template <auto Op>
struct Delayed;

// An operation whose answer waits for its round trip first.
template <class R, class... Args, R (*Op)(Args...)>
struct Delayed<Op> {
    static R Call(Args... args) {
        RoundTrip();
        return Op(args...);
    }
};

// FUSE paths start at the mount's root; the backing calls take them relative
// to the backing folder.
const char* Relative(const char* path) { return path[1] ? path + 1 : "."; }

// The calls without a form relative to a descriptor reach the file through it.
std::string Through(const char* path) { return "/proc/self/fd/" + std::to_string(backing) + "/" + Relative(path); }

int Status(int result) { return result < 0 ? -errno : 0; }
int Count(ssize_t result) { return result < 0 ? -errno : static_cast<int>(result); }

int Getattr(const char* path, struct stat* st, fuse_file_info*) {
    return Status(fstatat(backing, Relative(path), st, AT_SYMLINK_NOFOLLOW));
}

int Access(const char* path, int mode) { return Status(faccessat(backing, Relative(path), mode, AT_SYMLINK_NOFOLLOW)); }

int Readlink(const char* path, char* target, size_t size) {
    const ssize_t got = readlinkat(backing, Relative(path), target, size - 1);
    if (got < 0) return -errno;
    target[got] = 0;
    return 0;
}

int Opendir(const char* path, fuse_file_info* fi) {
    const int fd = openat(backing, Relative(path), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = fd < 0 ? nullptr : fdopendir(fd);
    if (!dir) {
        const int error = errno;
        if (fd >= 0) close(fd);
        return -error;
    }
    fi->fh = reinterpret_cast<uintptr_t>(dir);
    return 0;
}

// One call fills one of the kernel's buffers from where the last one ended,
// as a share lists a folder in batches.
int Readdir(const char*, void* buf, fuse_fill_dir_t fill, off_t offset, fuse_file_info* fi, fuse_readdir_flags) {
    DIR* dir = reinterpret_cast<DIR*>(fi->fh);
    seekdir(dir, offset);
    while (const dirent* d = readdir(dir)) {
        struct stat st {};
        st.st_ino = d->d_ino;
        st.st_mode = DTTOIF(d->d_type);
        if (fill(buf, d->d_name, &st, telldir(dir), fuse_fill_dir_flags{})) break;
    }
    return 0;
}

int Releasedir(const char*, fuse_file_info* fi) { return Status(closedir(reinterpret_cast<DIR*>(fi->fh))); }

int Mkdir(const char* path, mode_t mode) { return Status(mkdirat(backing, Relative(path), mode)); }
int Unlink(const char* path) { return Status(unlinkat(backing, Relative(path), 0)); }
int Rmdir(const char* path) { return Status(unlinkat(backing, Relative(path), AT_REMOVEDIR)); }
int Symlink(const char* target, const char* path) { return Status(symlinkat(target, backing, Relative(path))); }

int Rename(const char* from, const char* to, unsigned int flags) {
    return Status(renameat2(backing, Relative(from), backing, Relative(to), flags));
}

int Chmod(const char* path, mode_t mode, fuse_file_info*) { return Status(fchmodat(backing, Relative(path), mode, 0)); }

int Truncate(const char* path, off_t size, fuse_file_info* fi) {
    return Status(fi ? ftruncate(static_cast<int>(fi->fh), size) : truncate(Through(path).c_str(), size));
}

int Utimens(const char* path, const timespec times[2], fuse_file_info*) {
    return Status(utimensat(backing, Relative(path), times, AT_SYMLINK_NOFOLLOW));
}

int Opened(int fd, fuse_file_info* fi) {
    if (fd < 0) return -errno;
    fi->fh = static_cast<uint64_t>(fd);
    return 0;
}

int Open(const char* path, fuse_file_info* fi) {
    return Opened(openat(backing, Relative(path), fi->flags | O_CLOEXEC | O_NOFOLLOW), fi);
}

int Create(const char* path, mode_t mode, fuse_file_info* fi) {
    return Opened(openat(backing, Relative(path), fi->flags | O_CLOEXEC | O_NOFOLLOW, mode), fi);
}

int Read(const char*, char* buf, size_t size, off_t offset, fuse_file_info* fi) {
    return Count(pread(static_cast<int>(fi->fh), buf, size, offset));
}

int Write(const char*, const char* buf, size_t size, off_t offset, fuse_file_info* fi) {
    return Count(pwrite(static_cast<int>(fi->fh), buf, size, offset));
}

int Release(const char*, fuse_file_info* fi) { return Status(close(static_cast<int>(fi->fh))); }

int Statfs(const char*, struct statvfs* st) { return Status(fstatvfs(backing, st)); }

int Getxattr(const char* path, const char* name, char* value, size_t size) {
    return Count(lgetxattr(Through(path).c_str(), name, value, size));
}

int Listxattr(const char* path, char* list, size_t size) { return Count(llistxattr(Through(path).c_str(), list, size)); }

// No cache in the kernel: a sweep asks about each name once or twice (its
// lookup, then its attributes or its unlink), so a cache could only spare the
// second question, and whether a real client spares it differs (NFS keeps
// attributes 3 to 60 s, the SMB client 1 s, and neither keeps them across a
// change made by another client). Without one the figures are those of the
// share that costs a round trip for every question. Inode numbers pass
// through, so a program that orders its unlinks by inode sees the backing
// file system's order. A file unlinked while open is removed at once, as on
// the share, not hidden under another name.
void* Configure(fuse_conn_info*, fuse_config* config) {
    config->entry_timeout = 0;
    config->negative_timeout = 0;
    config->attr_timeout = 0;
    config->use_ino = 1;
    config->hard_remove = 1;
    return nullptr;
}

fuse_operations Operations() {
    fuse_operations ops{};
    ops.getattr = Delayed<Getattr>::Call;
    ops.readlink = Delayed<Readlink>::Call;
    ops.mkdir = Delayed<Mkdir>::Call;
    ops.unlink = Delayed<Unlink>::Call;
    ops.rmdir = Delayed<Rmdir>::Call;
    ops.symlink = Delayed<Symlink>::Call;
    ops.rename = Delayed<Rename>::Call;
    ops.chmod = Delayed<Chmod>::Call;
    ops.truncate = Delayed<Truncate>::Call;
    ops.open = Delayed<Open>::Call;
    ops.read = Delayed<Read>::Call;
    ops.write = Delayed<Write>::Call;
    ops.statfs = Delayed<Statfs>::Call;
    ops.release = Delayed<Release>::Call;
    ops.getxattr = Delayed<Getxattr>::Call;
    ops.listxattr = Delayed<Listxattr>::Call;
    ops.opendir = Delayed<Opendir>::Call;
    ops.readdir = Delayed<Readdir>::Call;
    ops.releasedir = Delayed<Releasedir>::Call;
    ops.init = Configure;
    ops.access = Delayed<Access>::Call;
    ops.create = Delayed<Create>::Call;
    ops.utimens = Delayed<Utimens>::Call;
    return ops;
}

// The kernel looks the names of one folder up one at a time unless the file
// system agrees to parallel directory operations in its answer to INIT, and
// libfuse 3.14 leaves that flag out of its answer although the connection
// wants it. The first answer a session writes is the one to INIT: the flag
// is set in it on its way to the kernel.
std::atomic<bool> initAnswered{false};  // the answering threads read it

ssize_t WriteAnswer(int fd, iovec* iov, int count, void*) {
    if (!initAnswered.exchange(true) && count > 1 && iov[1].iov_len >= sizeof(fuse_init_out))
        static_cast<fuse_init_out*>(iov[1].iov_base)->flags |= FUSE_PARALLEL_DIROPS;
    return writev(fd, iov, count);
}

ssize_t ReadRequest(int fd, void* buffer, size_t size, void*) { return read(fd, buffer, size); }

bool AgreeToParallelLookups(fuse_session* session) {
    fuse_custom_io io{};
    io.writev = WriteAnswer;
    io.read = ReadRequest;
    return fuse_session_custom_io(session, &io, fuse_session_fd(session)) == 0;
}

// fuse_main's steps, with the answers passing through WriteAnswer.
int Serve(std::vector<char*>& arguments, const fuse_operations& ops) {
    fuse_args args = FUSE_ARGS_INIT(static_cast<int>(arguments.size()), arguments.data());
    fuse_cmdline_opts opts{};
    if (fuse_parse_cmdline(&args, &opts) != 0 || !opts.mountpoint) return 2;
    fuse* share = fuse_new(&args, &ops, sizeof ops, nullptr);
    int status = 1;
    if (share && fuse_mount(share, opts.mountpoint) == 0) {
        if (AgreeToParallelLookups(fuse_get_session(share)) && fuse_daemonize(opts.foreground) == 0 &&
            fuse_set_signal_handlers(fuse_get_session(share)) == 0) {
            fuse_loop_config* loop = fuse_loop_cfg_create();
            if (opts.max_threads) fuse_loop_cfg_set_max_threads(loop, opts.max_threads);
            status = fuse_loop_mt(share, loop) == 0 ? 0 : 1;
            fuse_loop_cfg_destroy(loop);
            fuse_remove_signal_handlers(fuse_get_session(share));
        }
        fuse_unmount(share);
    }
    if (share) fuse_destroy(share);
    free(opts.mountpoint);
    fuse_opt_free_args(&args);
    return status;
}

int Usage(const char* self) {
    std::fprintf(stderr, "usage: %s [--delay-us N] BACKING MOUNTPOINT [FUSE options]\n", self);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> rest{argv[0]};
    long delayUs = 1000;
    const char* folder = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--delay-us") == 0 && i + 1 < argc)
            delayUs = std::strtol(argv[++i], nullptr, 10);
        else if (!folder && argv[i][0] != '-')
            folder = argv[i];
        else
            rest.push_back(argv[i]);
    }
    if (!folder || delayUs < 0) return Usage(argv[0]);
    backing = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (backing < 0) {
        std::perror(folder);
        return 1;
    }
    delay = {delayUs / 1000000, delayUs % 1000000 * 1000};
    // The threads FUSE makes inherit this: their waits end on time instead of
    // up to 50 µs late, which would add a quarter to a wait of 0.2 ms.
    prctl(PR_SET_TIMERSLACK, 1UL);
    const fuse_operations ops = Operations();
    return Serve(rest, ops);
}
