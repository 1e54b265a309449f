#include "platform/Console.h"

#include <cstdio>

namespace platform {

bool WriteStandard(StandardStream stream, const std::string& text) {
    std::FILE* file = stream == StandardStream::Output ? stdout : stderr;
    const bool taken = std::fputs(text.c_str(), file) >= 0;
    return std::fflush(file) == 0 && taken;
}

}  // namespace platform
