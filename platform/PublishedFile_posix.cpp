#include "platform/PublishedFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// A collector running as another user (node_exporter's own) must read it,
// also when the service's umask keeps new files private.
constexpr mode_t PublishedMode = 0644;

bool WriteAll(int fd, const std::string& bytes) {
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<size_t>(written);
    }
    return true;
}

// A temporary left by a process of the same id that died is replaced.
int CreateTemporary(const std::string& path) {
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = open(path.c_str(), flags, PublishedMode);
    if (fd < 0 && errno == EEXIST && unlink(path.c_str()) == 0) fd = open(path.c_str(), flags, PublishedMode);
    return fd;
}

// Down to the disk before the rename, so that a crash leaves the old file or
// the whole new one.
bool WriteTemporary(const std::string& path, const std::string& bytes) {
    const int fd = CreateTemporary(path);
    if (fd < 0) return false;
    const bool written = fchmod(fd, PublishedMode) == 0 && WriteAll(fd, bytes) && fsync(fd) == 0;
    return close(fd) == 0 && written;
}

}  // namespace

PublishResult PublishFile(const std::string& folder, const std::string& name, const std::string& bytes) {
    struct stat st;
    if (folder.empty()) return PublishResult::NoFolder;
    if (stat(folder.c_str(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? PublishResult::NoFolder : PublishResult::Failed;
    const std::string target = folder + (folder.back() == '/' ? "" : "/") + name;
    const std::string temporary = target + "." + std::to_string(getpid());
    if (WriteTemporary(temporary, bytes) && rename(temporary.c_str(), target.c_str()) == 0)
        return PublishResult::Published;
    unlink(temporary.c_str());
    return PublishResult::Failed;
}

}  // namespace platform
