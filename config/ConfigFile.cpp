#include "config/ConfigFile.h"

#include "ExtLib/IniFile.h"
#include "ExtLib/TextFile.h"
#include "config/SweepSettings.h"
#include "platform/ConfigText.h"
#include "platform/FileIo.h"

namespace {

ConfigFile::Problem ProblemOf(platform::OpenProblem problem) {
    switch (problem) {
    case platform::OpenProblem::Missing: return ConfigFile::Problem::Missing;
    case platform::OpenProblem::Denied: return ConfigFile::Problem::Denied;
    case platform::OpenProblem::NotRegular: return ConfigFile::Problem::NotRegular;
    case platform::OpenProblem::Other: break;
    }
    return ConfigFile::Problem::Unreadable;
}

std::string FilepathIn(std::string_view bytes) {
    IniFile ini;
    return ini.LoadText(bytes, "", false) ? ini.GetString(SweepSettings::Section, "filepath") : std::string();
}

// A file saved as UTF-8 without its mark reads as other characters in the
// ANSI code page (a pattern that names 小 would take names with С in it), and
// a file the window wrote may be valid UTF-8 too: the bytes decide only where
// one reading plainly fails.
bool SavedAsUnmarkedUtf8(const std::string& bytes) {
    if (!platform::ReadsOtherwiseAsUtf8(bytes)) return false;
    if (!platform::IsConfigText(bytes)) return true;
    const std::string stored = FilepathIn(bytes);
    return platform::DirectoryExists(stored.c_str()) &&
           !platform::DirectoryExists(platform::FromConfigText(stored).c_str());
}

}  // namespace

ConfigFile ReadConfigFile(const std::string& path, bool ownOnly) {
    ConfigFile file;
    file.path = path;
    TextFile text;
    bool refused = false;
    const bool opened = ownOnly ? text.Adopt(path.c_str(), platform::OpenOwnFile(path.c_str(), refused, file.refusal))
                                : text.Open(path.c_str(), TextFile::GenericRead, TextFile::OpenExisting);
    if (!opened) {
        file.problem = refused ? ConfigFile::Problem::Foreign : ProblemOf(platform::WhyNotOpened(path.c_str()));
        return file;
    }
    file.bytes = text.Read(ConfigFile::MaxBytes + 1);
    if (file.bytes.size() > ConfigFile::MaxBytes) file.problem = ConfigFile::Problem::TooLarge;
    else if (!platform::InConfigEncoding(file.bytes)) file.problem = ConfigFile::Problem::Uncarriable;
    else if (SavedAsUnmarkedUtf8(file.bytes)) file.problem = ConfigFile::Problem::UnmarkedUtf8;
    return file;
}

StartupConfig LoadStartupConfig(const std::string& path, SweepSettings& settings, bool silent,
                                const std::function<void()>& afterRead) {
    StartupConfig config;
    config.file = ReadConfigFile(path, silent);
    if (afterRead) afterRead();
    config.loaded = config.file.problem == ConfigFile::Problem::None &&
                    settings.LoadText(config.file.bytes, config.file.path, !silent);
    if (silent) config.problem = CheckConfig(config.file);
    return config;
}
