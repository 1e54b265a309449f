#include "platform/Console.h"

#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

namespace platform {

bool WriteStandard(StandardStream stream, const std::string& text) {
    std::FILE* file = stream == StandardStream::Output ? stdout : stderr;
    const bool taken = std::fputs(text.c_str(), file) >= 0;
    return std::fflush(file) == 0 && taken;
}

namespace {

constexpr int DefaultColumns = 80;

int Descriptor(StandardStream stream) { return stream == StandardStream::Output ? STDOUT_FILENO : STDERR_FILENO; }

}  // namespace

bool IsTerminal(StandardStream stream) { return isatty(Descriptor(stream)) == 1; }

int TerminalColumns(StandardStream stream) {
    struct winsize size {};
    return ioctl(Descriptor(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : DefaultColumns;
}

}  // namespace platform
