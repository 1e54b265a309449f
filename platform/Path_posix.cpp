#include "platform/Path.h"

namespace platform {

const char PathSeparator = '/';

bool IsAbsoluteDirectory(const std::string& path) { return !path.empty() && path[0] == '/'; }

}  // namespace platform
