#include "config/ConfigFile.h"

#include "ExtLib/TextFile.h"
#include "config/SweepSettings.h"
#include "platform/ConfigText.h"

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

}  // namespace

ConfigFile ReadConfigFile(const std::string& path) {
    ConfigFile file;
    file.path = path;
    TextFile text;
    if (!text.Open(file.path.c_str(), TextFile::GenericRead, TextFile::OpenExisting)) {
        file.problem = ProblemOf(platform::WhyNotOpened(file.path.c_str()));
        return file;
    }
    file.bytes = text.Read(ConfigFile::MaxBytes + 1);
    if (file.bytes.size() > ConfigFile::MaxBytes) file.problem = ConfigFile::Problem::TooLarge;
    else if (!platform::InConfigEncoding(file.bytes)) file.problem = ConfigFile::Problem::Uncarriable;
    return file;
}

StartupConfig LoadStartupConfig(const std::string& path, SweepSettings& settings, bool silent,
                                const std::function<void()>& afterRead) {
    StartupConfig config;
    config.file = ReadConfigFile(path);
    if (afterRead) afterRead();
    config.loaded = config.file.problem == ConfigFile::Problem::None &&
                    settings.LoadText(config.file.bytes, config.file.path, !silent);
    if (silent) config.problem = CheckConfig(config.file);
    return config;
}
