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

RunMode SelectRunMode(const std::string& arguments) {
    StringEx text(arguments);
    text.TrimLeft(' ');
    text.TrimRight(' ');
    text.MakeLower();
    const std::string& words = text.Str();
    const std::string switchWord = "/auto";
    if (words == switchWord) return RunMode::Silent;
    if (words.rfind(switchWord + ' ', 0) != 0) return RunMode::Window;
    const std::string form = words.substr(words.find_first_not_of(' ', switchWord.size()));
    return form == "/l" ? RunMode::ListOnly : form == "/v" ? RunMode::Verbose : RunMode::Window;
}

std::string DirectoryOf(const std::string& executablePath) {
    const size_t last = executablePath.rfind(platform::PathSeparator);
    return last == std::string::npos ? std::string() : executablePath.substr(0, last + 1);
}
