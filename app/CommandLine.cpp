#include "app/CommandLine.h"

#include <algorithm>
#include <string_view>

#include "ExtLib/StringEx.h"
#include "platform/Path.h"

namespace {

std::string Lowered(const std::string& text) {
    StringEx lowered(text);
    lowered.MakeLower();
    return lowered.Str();
}

// The switches whose value follows them in the same argument.
struct ValuedSwitch {
    std::string_view word;
    std::string CommandLine::*value;
};
constexpr ValuedSwitch ValuedSwitches[] = {{"/ini:", &CommandLine::settingsPath},
                                           {"/metrics:", &CommandLine::metricsDir}};

const ValuedSwitch* ValuedSwitchOf(const std::string& argument) {
    for (const ValuedSwitch& valued : ValuedSwitches)
        if (Lowered(argument.substr(0, valued.word.size())) == valued.word) return &valued;
    return nullptr;
}

bool IsHelpWord(const std::string& word) { return word == "/?" || word == "-h" || word == "--help"; }

RunMode SelectRunMode(const std::string& arguments) {
    StringEx text(arguments);
    text.TrimLeft(' ');
    text.TrimRight(' ');
    text.MakeLower();
    const std::string& words = text.Str();
    if (words == "/check") return RunMode::Check;
    if (IsHelpWord(words)) return RunMode::Help;
    const std::string switchWord = "/auto";
    if (words == switchWord) return RunMode::Silent;
    if (words.rfind(switchWord + ' ', 0) != 0) return RunMode::Window;
    const std::string form = words.substr(words.find_first_not_of(' ', switchWord.size()));
    return form == "/l" ? RunMode::ListOnly : form == "/v" ? RunMode::Verbose : RunMode::Window;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    std::string words;  // the other arguments, joined by single spaces
    bool unclear = false;  // a switch without its value, or given twice
    std::vector<const ValuedSwitch*> seen;
    for (const std::string& argument : arguments) {
        const ValuedSwitch* valued = ValuedSwitchOf(argument);
        if (!valued) {
            words += (&argument == &arguments.front() ? "" : " ") + argument;
            continue;
        }
        line.*valued->value = argument.substr(valued->word.size());
        unclear = unclear || (line.*valued->value).empty() || std::ranges::count(seen, valued) > 0;
        seen.push_back(valued);
    }
    line.mode = unclear ? RunMode::Invalid : SelectRunMode(words);
    return line;
}

std::string DirectoryOf(const std::string& executablePath) {
    const size_t last = executablePath.rfind(platform::PathSeparator);
    return last == std::string::npos ? std::string() : executablePath.substr(0, last + 1);
}
