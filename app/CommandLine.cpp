#include "app/CommandLine.h"

#include "ExtLib/StringEx.h"
#include "platform/Path.h"

std::string JoinArguments(int argc, const char* const* argv) {
    std::string joined;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) joined += ' ';
        joined += argv[i];
    }
    return joined;
}

bool SelectsSilentRun(const std::string& arguments) {
    StringEx text(arguments);
    text.TrimLeft(' ');
    text.TrimRight(' ');
    text.MakeLower();
    return text.Str() == "/auto";
}

std::string DirectoryOf(const std::string& executablePath) {
    const size_t last = executablePath.rfind(platform::PathSeparator);
    return last == std::string::npos ? std::string() : executablePath.substr(0, last + 1);
}
