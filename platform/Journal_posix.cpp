#include "platform/Journal.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr const char* ErrorPriority = "<3>";

// systemd names the stream it connected as "device:inode" in JOURNAL_STREAM.
// Only a descriptor that is that very stream leads to the journal: one the
// unit or a shell redirected elsewhere inherits the name all the same.
bool LeadsToJournal(int fd) {
    const char* named = std::getenv("JOURNAL_STREAM");
    struct stat st;
    if (!named || fstat(fd, &st) != 0) return false;
    unsigned long long device = 0, inode = 0;
    char extra = 0;
    return std::sscanf(named, "%llu:%llu%c", &device, &inode, &extra) == 2 && device == st.st_dev &&
           inode == st.st_ino;
}

}  // namespace

std::string ErrorPrefix(StandardStream stream) {
    return LeadsToJournal(stream == StandardStream::Output ? STDOUT_FILENO : STDERR_FILENO) ? ErrorPriority : "";
}

}  // namespace platform
