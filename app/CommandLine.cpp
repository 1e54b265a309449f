#include "app/CommandLine.h"

#include "ExtLib/StringEx.h"
#include "platform/Path.h"

namespace {

std::string Lowered(const std::string& text) {
    StringEx lowered(text);
    lowered.MakeLower();
    return lowered.Str();
}

// The switch that names the settings file, its path following it.
constexpr const char* SettingsSwitch = "/ini:";

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
    const std::string prefix = SettingsSwitch;
    std::string words;  // the other arguments, joined by single spaces
    int settingsSwitches = 0;
    for (const std::string& argument : arguments) {
        if (Lowered(argument.substr(0, prefix.size())) == prefix) {
            line.settingsPath = argument.substr(prefix.size());
            ++settingsSwitches;
        } else {
            words += (&argument == &arguments.front() ? "" : " ") + argument;
        }
    }
    const bool unclear = settingsSwitches > 1 || (settingsSwitches == 1 && line.settingsPath.empty());
    line.mode = unclear ? RunMode::Invalid : SelectRunMode(words);
    return line;
}

std::string DirectoryOf(const std::string& executablePath) {
    const size_t last = executablePath.rfind(platform::PathSeparator);
    return last == std::string::npos ? std::string() : executablePath.substr(0, last + 1);
}
