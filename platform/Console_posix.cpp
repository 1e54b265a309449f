#include "platform/Console.h"

#include <cstdio>

namespace platform {

void WriteStandard(StandardStream stream, const std::string& text) {
    std::FILE* file = stream == StandardStream::Output ? stdout : stderr;
    std::fputs(text.c_str(), file);
    std::fflush(file);
}

}  // namespace platform
