#include "config/SweepSettings.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "config/ConfigFile.h"
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

bool SweepSettings::Load(const std::string& path) {
    const ConfigFile file = ReadConfigFile(path);
    return file.problem == ConfigFile::Problem::None && LoadText(file.bytes, file.path, true);
}

bool SweepSettings::LoadText(std::string_view bytes, const std::string& path, bool report) {
    IniFile ini;
    if (!ini.LoadText(bytes, path.c_str(), report)) return false;
    Fill(ini);
    return true;
}

void SweepSettings::Fill(const IniFile& ini) {
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

namespace {

bool OpenNew(TextFile& file, const std::string& path) {
    if (file.Open(path.c_str(), TextFile::GenericWrite, TextFile::CreateNew)) return true;
    // Left behind by a save that crashed; one instance runs at a time.
    platform::RemoveFile(path.c_str());
    return file.Open(path.c_str(), TextFile::GenericWrite, TextFile::CreateNew);
}

enum class Replaced { Yes, NotWritten, NotMoved };

// Written, flushed, then moved over the file in one step.
Replaced WriteAndMove(TextFile& temp, const std::string& tempPath, const std::string& path,
                      const std::string& bytes) {
    const bool written = temp.Write(bytes.data(), bytes.size()) && temp.Flush();
    temp.Close();
    if (written && platform::MoveFileOver(tempPath.c_str(), path.c_str())) return Replaced::Yes;
    platform::RemoveFile(tempPath.c_str());
    return written ? Replaced::NotMoved : Replaced::NotWritten;
}

// Written where it stands and cut after its new end.
bool RewriteInPlace(const std::string& path, const std::string& bytes) {
    TextFile file;
    return file.Open(path.c_str(), TextFile::GenericWrite, TextFile::OpenAlways) &&
           file.Write(bytes.data(), bytes.size()) && file.Flush();
}

}  // namespace

// Only the two texts can hold more than ASCII, so the whole file is put in
// its encoding at once. A crash or a full disk must never leave a cut file,
// so a new file beside it replaces it whole. Only where that cannot be done
// but the file itself may be written is it rewritten in place: a folder that
// lets no new file be made, or lets one be made but not put in vorn.ini's
// place (the sticky bit, or Windows rights that allow creating files but not
// replacing this one). A write that failed (a full disk) never leads there.
// A vorn.ini that is a link (to a file kept in /etc, say) stays one: the
// file it leads to is saved.
bool SweepSettings::Save(const std::string& settingsPath) const {
    const std::string path = platform::LinkTarget(settingsPath.c_str());
    const bool exists = platform::FileExists(path.c_str());
    // A read-only or locked file protects the configuration on purpose.
    if (exists && !platform::IsWritable(path.c_str())) return false;
    std::string bytes;
    if (!platform::ToConfigText(Serialize(), bytes)) return false;
    const std::string temp = path + ".tmp";
    TextFile file;
    if (OpenNew(file, temp)) {
        const Replaced replaced = WriteAndMove(file, temp, path, bytes);
        if (replaced != Replaced::NotMoved) return replaced == Replaced::Yes;
    }
    return exists && RewriteInPlace(path, bytes);
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
