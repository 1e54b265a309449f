#include "platform/Path.h"

namespace platform {

const char PathSeparator = '/';

bool IsAbsoluteDirectory(const std::string& path) { return !path.empty() && path[0] == '/'; }

std::string ResolvedDirectory(const std::string& path) { return path; }

// Names here are the bytes the file system holds, UTF-8 by convention.
std::string NameBytes(const std::string& text) { return text; }

}  // namespace platform
