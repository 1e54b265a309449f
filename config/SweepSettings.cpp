#include "config/SweepSettings.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "ExtLib/IniFile.h"
#include "ExtLib/StringEx.h"
#include "ExtLib/TextFile.h"
#include "platform/ConfigText.h"
#include "platform/FileIo.h"

namespace {

// Leading white space, an optional sign, digits up to the first other byte;
// 0 without digits. Out-of-range values stop at the int limits.
int LeadingInteger(const std::string& text) {
    errno = 0;
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

const char* FlagText(bool flag) { return flag ? "true" : "false"; }

}  // namespace

SweepSettings::SweepSettings()
    : speed(1),
      filename("*.*"),
      subdir(true),
      system(false),
      readonly(true),
      hidden(true),
      dirtree(true),
      regex(false),
      expiredays(0) {}

bool SweepSettings::Load(const std::string& programDir) {
    IniFile ini;
    if (!ini.Load((programDir + FileName).c_str())) return false;
    auto value = [&ini](const char* key) { return ini.GetString(Section, key); };
    filepath = platform::FromConfigText(value("filepath"));
    filename = platform::FromConfigText(value("filename"));
    regex = value("regex") == "true";
    subdir = value("subdir") == "true";
    system = value("system") == "true";
    readonly = value("readonly") == "true";
    hidden = value("hidden") == "true";
    dirtree = value("dirtree") == "true";
    const std::string days = value("expiredays");
    expiredays = days.empty() ? 0 : LeadingInteger(days);
    const std::string pace = value("speed");
    speed = pace.empty() ? 1 : LeadingInteger(pace);
    return true;
}

std::string SweepSettings::Serialize() const {
    std::string out = "[vorn]\r\n";
    StringEx line;
    line.Format("filepath=%s\r\n", filepath.c_str());
    out += line.Str();
    line.Format("filename=%s\r\n", filename.c_str());
    out += line.Str();
    const std::pair<const char*, bool> flags[] = {
        {"regex", regex}, {"subdir", subdir}, {"system", system},
        {"readonly", readonly}, {"hidden", hidden}, {"dirtree", dirtree},
    };
    for (const auto& [key, flag] : flags) {
        line.Format("%s=%s\r\n", key, FlagText(flag));
        out += line.Str();
    }
    line.Format("expiredays=%d\r\n", expiredays.load());
    out += line.Str();
    line.Format("speed=%d\r\n", speed.load());
    out += line.Str();
    return out;
}

// Only the two texts can hold more than ASCII, so the whole file is put in
// its encoding at once.
bool SweepSettings::Save(const std::string& programDir) const {
    const std::string path = programDir + FileName;
    // A read-only or locked file protects the configuration on purpose.
    if (platform::FileExists(path.c_str()) && !platform::IsWritable(path.c_str())) return false;
    const std::string temp = path + ".tmp";
    TextFile file;
    if (!file.Open(temp.c_str(), TextFile::GenericWrite, TextFile::CreateNew)) {
        // Left behind by a save that crashed; one instance runs at a time.
        platform::RemoveFile(temp.c_str());
        if (!file.Open(temp.c_str(), TextFile::GenericWrite, TextFile::CreateNew)) return false;
    }
    std::string bytes;
    if (!platform::ToConfigText(Serialize(), bytes)) return false;
    const bool written = file.Write(bytes.data(), bytes.size()) && file.Flush();
    file.Close();
    if (written && platform::MoveFileOver(temp.c_str(), path.c_str())) return true;
    platform::RemoveFile(temp.c_str());
    return false;
}

int SweepSettings::PauseMillis() const {
    switch (speed.load()) {
    case 0: return 500;
    case 1: return 200;
    case 2: return 100;
    case 3: return 0;
    default: return 200;
    }
}
