#include "platform/Path.h"

#include <climits>
#include <unistd.h>

namespace platform {

const char PathSeparator = '/';

bool IsAbsoluteDirectory(const std::string& path) { return !path.empty() && path[0] == '/'; }

std::string ResolvedDirectory(const std::string& path) { return path; }

std::string FromWorkingDirectory(const std::string& path) {
    if (IsAbsoluteDirectory(path)) return path;
    char directory[PATH_MAX];
    if (!getcwd(directory, sizeof directory)) return {};
    const std::string base = directory;
    return base + (base.back() == '/' ? "" : "/") + path;
}

// Names here are the bytes the file system holds, UTF-8 by convention.
std::string NameBytes(const std::string& text) { return text; }

}  // namespace platform
