// Arbitrary bytes as vorn.ini: the reader, the settings load and the check of
// the file must neither crash nor leak; a file the check passes must read
// exactly as written; whatever loads must come back unchanged through the file
// the program writes itself, and that file must pass when the one read did.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#include "ExtLib/IniFile.h"
#include "FuzzCheck.h"
#include "config/ConfigCheck.h"
#include "config/ConfigFile.h"
#include "config/SweepSettings.h"

namespace {

namespace fs = std::filesystem;

// The public interface reads from a path: each input goes to a new file in a
// directory of this process's own, removed when the fuzzer ends; in memory
// where the system has it. (ext4 flushes a file that was cut short when it is
// closed: rewriting one file in place cost milliseconds an input.)
class PrivateDir {
public:
    PrivateDir() {
        const fs::path shm = "/dev/shm";
        const fs::path base = fs::is_directory(shm) ? shm : fs::temp_directory_path();
        std::string pattern = (base / "vorn-fuzz-XXXXXX").string();
        FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
        root = pattern;
    }
    ~PrivateDir() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    // The directory as the program directory is given: with its separator.
    std::string Dir() const { return root.string() + "/"; }
    std::string Ini() const { return (root / SweepSettings::FileName).string(); }
    void WriteIni(const void* bytes, size_t size) const {
        fs::remove(Ini());
        std::ofstream(Ini(), std::ios::binary).write(static_cast<const char*>(bytes), size);
    }

private:
    fs::path root;
};

const PrivateDir& Scratch() {
    static const PrivateDir dir;
    return dir;
}

// Read from the file or from its bytes, the reader sees the same.
void LookUpEverything(std::string_view bytes, const char* path) {
    IniFile ini, fromBytes;
    const bool loaded = ini.Load(path);
    FUZZ_CHECK(fromBytes.LoadText(bytes, path, false) == loaded);
    if (!loaded) return;
    for (const char* key : {"filepath", "filename", "regex", "expiredays", "speed", "", "="}) {
        FUZZ_CHECK(ini.GetString(SweepSettings::Section, key).size() <= IniFile::MaxValueBytes);
        FUZZ_CHECK(ini.GetString(SweepSettings::Section, key) == fromBytes.GetString(SweepSettings::Section, key));
    }
    ini.GetString("", "");
}

// Every entry line's value is what the reader gives for its key. A file
// that passed ends each line with CR, maybe followed by LF, up to its first
// blank line, where the reader ends it (only blank lines may follow).
void CheckReadAsWritten(std::string_view bytes, const char* path) {
    IniFile ini;
    FUZZ_CHECK(ini.Load(path));
    for (size_t pos = 0; pos < bytes.size();) {
        const size_t cr = bytes.find('\r', pos);
        FUZZ_CHECK(cr != std::string_view::npos);
        const std::string line(bytes.substr(pos, cr - pos));
        if (line.empty()) break;
        pos = cr + 1 + (cr + 1 < bytes.size() && bytes[cr + 1] == '\n');
        if (IniFile::ClassifyLine(line) != IniFile::LineKind::Entry) continue;
        const size_t equals = line.find('=');
        FUZZ_CHECK(ini.GetString(SweepSettings::Section, line.substr(0, equals).c_str()) ==
                   line.substr(equals + 1));
    }
}

// What loads is saved and loaded again unchanged; saved from a sound file, it passes.
void CheckRoundTrip(const PrivateDir& dir, bool sound) {
    SweepSettings loaded;
    if (!loaded.Load(dir.Ini())) return;
    const std::string saved = loaded.Serialize();
    if (sound) FUZZ_CHECK(!FindConfigProblem(saved));
    dir.WriteIni(saved.data(), saved.size());
    SweepSettings reloaded;
    FUZZ_CHECK(reloaded.Load(dir.Ini()));
    FUZZ_CHECK(reloaded.Serialize() == saved);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const PrivateDir& dir = Scratch();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    dir.WriteIni(data, size);
    LookUpEverything(bytes, dir.Ini().c_str());
    const std::optional<ConfigProblem> problem = FindConfigProblem(bytes);
    if (size <= ConfigFile::MaxBytes) FUZZ_CHECK(CheckConfig(ReadConfigFile(dir.Ini())).has_value() == problem.has_value());
    if (problem)
        FUZZ_CHECK(!problem->Message().empty());
    else
        CheckReadAsWritten(bytes, dir.Ini().c_str());
    CheckRoundTrip(dir, !problem);
    return 0;
}
