#pragma once
// Path conventions of the platform.

#include <string>

namespace platform {

// The separator between a directory and a name ("/" here, "\" on Windows).
extern const char PathSeparator;

// True when the text names a directory from the root of a file system: a
// leading "/" here; on Windows a drive's root or a folder below it ("D:\",
// "D:\logs") or a share ("\\server\share\logs"). Nothing is checked on disk.
bool IsAbsoluteDirectory(const std::string& path);

}  // namespace platform
