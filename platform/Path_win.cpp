#include "platform/Path.h"

namespace platform {

const char PathSeparator = '\\';

// A drive ("D:\data") or any other name before a colon; a UNC path has none
// and is refused.
bool IsAbsoluteDirectory(const std::string& path) {
    const size_t colon = path.find(':');
    return colon != std::string::npos && colon != 0;
}

}  // namespace platform
