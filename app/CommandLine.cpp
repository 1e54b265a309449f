#include "app/CommandLine.h"

#include <string_view>
#include <vector>

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

namespace {

constexpr std::string_view MetricsSwitch = "/metrics:";

bool IsMetricsSwitch(const char* argument) {
    StringEx word(std::string(argument).substr(0, MetricsSwitch.size()));
    word.MakeLower();
    return word.Str() == MetricsSwitch && argument[MetricsSwitch.size()] != '\0';
}

}  // namespace

Arguments SplitArguments(int argc, const char* const* argv) {
    std::vector<const char*> rest{argc > 0 ? argv[0] : ""};
    std::vector<std::string> folders;
    for (int i = 1; i < argc; ++i) {
        if (IsMetricsSwitch(argv[i])) folders.push_back(argv[i] + MetricsSwitch.size());
        else rest.push_back(argv[i]);
    }
    if (folders.size() != 1) return {JoinArguments(argc, argv), {}};
    return {JoinArguments(static_cast<int>(rest.size()), rest.data()), folders.front()};
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
