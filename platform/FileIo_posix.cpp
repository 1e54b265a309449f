#include "platform/FileIo.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/SafeRoot_posix.h"

namespace platform {

namespace {

int FlagsFor(uint32_t access, uint32_t disposition) {
    int flags = O_CLOEXEC | O_NOCTTY;
    const bool read = access & AccessRead;
    const bool write = access & AccessWrite;
    flags |= read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;
    if (disposition == CreateNew) flags |= O_CREAT | O_EXCL;
    if (disposition == OpenAlways) flags |= O_CREAT;
    return flags;
}

int Fd(FileHandle file) { return static_cast<int>(file); }

// A directory entry that was just renamed only survives a crash once the
// directory itself has reached the disk.
void FlushDirectoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

}  // namespace

// POSIX has no share modes; other processes may open the file as they like.
// The open itself must not wait: a FIFO blocks it until someone writes, for
// ever on an unattended run.
FileHandle OpenFile(const char* path, uint32_t access, uint32_t disposition) {
    int fd;
    do {
        fd = open(path, FlagsFor(access, disposition) | O_NONBLOCK, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return InvalidFile;
    struct stat st;
    const bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    // Reads and writes of the file itself may wait as usual.
    if (!regular || fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        close(fd);
        return InvalidFile;
    }
    return fd;
}

FileHandle OpenOwnFile(const char* path, bool& refused, WayRefusal& refusal) {
    const int fd = OpenOwnFileSafely(path, refused, &refusal);
    return fd < 0 ? InvalidFile : fd;
}

OpenProblem WhyNotOpened(const char* path) {
    struct stat st;
    if (stat(path, &st) != 0) return errno == ENOENT || errno == ENOTDIR ? OpenProblem::Missing : OpenProblem::Denied;
    if (!S_ISREG(st.st_mode)) return OpenProblem::NotRegular;
    return access(path, R_OK) != 0 ? OpenProblem::Denied : OpenProblem::Other;
}

bool ReadFile(FileHandle file, void* buffer, size_t size, size_t& got) {
    ssize_t n;
    do {
        n = read(Fd(file), buffer, size);
    } while (n < 0 && errno == EINTR);
    got = n > 0 ? static_cast<size_t>(n) : 0;
    return n >= 0;
}

bool WriteFile(FileHandle file, const void* bytes, size_t size, size_t& written) {
    written = 0;
    const char* p = static_cast<const char*>(bytes);
    while (written < size) {
        const ssize_t n = write(Fd(file), p + written, size - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += static_cast<size_t>(n);
    }
    return true;
}

bool TruncateFile(FileHandle file) {
    const off_t position = lseek(Fd(file), 0, SEEK_CUR);
    return position >= 0 && ftruncate(Fd(file), position) == 0;
}

bool FlushFile(FileHandle file) { return fsync(Fd(file)) == 0; }

void CloseFile(FileHandle file) { close(Fd(file)); }

// Read-only is the owner's missing write bit, as file servers map it; root
// could write such a file anyway, but the user meant it to stay as it is.
bool IsWritable(const char* path) {
    struct stat st;
    if (stat(path, &st) != 0 || !(st.st_mode & S_IWUSR)) return false;
    const int fd = open(path, O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return false;
    close(fd);
    return true;
}

bool FileExists(const char* path) {
    struct stat st;
    return lstat(path, &st) == 0;
}

bool DirectoryExists(const char* path) {
    struct stat st;
    return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

// As many as the kernel itself follows in one lookup.
std::string LinkTarget(const char* path) {
    std::string target = path;
    char next[PATH_MAX];
    for (int links = 0; links < 40; ++links) {
        const ssize_t size = readlink(target.c_str(), next, sizeof next);
        if (size <= 0 || static_cast<size_t>(size) >= sizeof next) break;
        const size_t slash = target.rfind('/');
        const std::string dir = next[0] == '/' || slash == std::string::npos ? "" : target.substr(0, slash + 1);
        target = dir + std::string(next, size);
    }
    return target;
}

// Only the superuser may give the file back to its owner; for anybody else
// it is theirs already.
bool MoveFileOver(const char* from, const char* to) {
    struct stat st;
    if (stat(to, &st) == 0) {
        if (chmod(from, st.st_mode & 07777) != 0) return false;
        if (geteuid() == 0 && chown(from, st.st_uid, st.st_gid) != 0) return false;
    }
    if (rename(from, to) != 0) return false;
    FlushDirectoryOf(to);
    return true;
}

bool RemoveFile(const char* path) { return unlink(path) == 0; }

}  // namespace platform
