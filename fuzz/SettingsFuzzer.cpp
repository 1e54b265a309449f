// Arbitrary bytes as vorn.ini: the reader and the settings load must neither
// crash nor leak, and whatever loads must come back unchanged through the
// file the program writes itself.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "ExtLib/IniFile.h"
#include "FuzzCheck.h"
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

void LookUpEverything(const char* path) {
    IniFile ini;
    if (!ini.Load(path)) return;
    for (const char* key : {"filepath", "filename", "regex", "expiredays", "speed", "", "="})
        FUZZ_CHECK(ini.GetString(SweepSettings::Section, key).size() <= IniFile::MaxValueBytes);
    ini.GetString("", "");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const PrivateDir& dir = Scratch();
    dir.WriteIni(data, size);
    LookUpEverything(dir.Ini().c_str());

    SweepSettings loaded;
    if (!loaded.Load(dir.Dir())) return 0;
    const std::string saved = loaded.Serialize();
    dir.WriteIni(saved.data(), saved.size());
    SweepSettings reloaded;
    FUZZ_CHECK(reloaded.Load(dir.Dir()));
    FUZZ_CHECK(reloaded.Serialize() == saved);
    return 0;
}
