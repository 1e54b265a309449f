#pragma once
// vorn.ini as one read of it. Everything a run learns of the file comes from
// these bytes, so the file cannot change between being checked and being
// loaded.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "config/ConfigCheck.h"
#include "platform/WayRefusal.h"

class SweepSettings;

struct ConfigFile {
    // Uncarriable: saved as UTF-8 with a character the file's own encoding
    // lacks (platform/ConfigText.h). Foreign: someone other than root and the
    // running user could have chosen what it says (`refusal` says how).
    // UnmarkedUtf8: saved as UTF-8 without its byte-order mark where the
    // file's encoding is another, and told apart because only the UTF-8
    // reading makes sense of it.
    enum class Problem { None, Missing, Denied, NotRegular, TooLarge, Unreadable, Uncarriable, Foreign, UnmarkedUtf8 };

    // Far beyond any real configuration; a larger file is refused without
    // being held whole.
    static constexpr size_t MaxBytes = 64 * 1024;

    std::string path;
    std::string bytes;
    Problem problem = Problem::None;
    platform::WayRefusal refusal;
};

// Reads the settings file at `path` (vorn.ini in the program's folder, or
// the one the command line names) through one open descriptor of a regular
// file; a link to one is followed. The bytes are those of the file's
// encoding, also when its editor saved it as UTF-8 with the mark. Unmarked
// bytes are never read as UTF-8 where the file's encoding is another: such a
// file is refused when its bytes are no text of that encoding, or when its
// filepath names a directory that exists only as UTF-8 reads it. When
// `ownOnly`, the file is read only where nobody but root and the running
// user could have chosen what it says (platform/FileIo.h, OpenOwnFile);
// otherwise its problem is Foreign.
ConfigFile ReadConfigFile(const std::string& path, bool ownOnly = false);

// What start-up learns of the settings file from that one read: whether the reader
// could load it into `settings` (its message about a line it cannot take is
// written only for the window) and, for a silent run, what the strict check
// finds; a silent run reads only a file of its own (ReadConfigFile with
// `ownOnly`). `afterRead` runs once the file is read; a test changes it there.
struct StartupConfig {
    ConfigFile file;
    bool loaded = false;
    std::optional<ConfigProblem> problem;
};
StartupConfig LoadStartupConfig(const std::string& path, SweepSettings& settings, bool silent,
                                const std::function<void()>& afterRead = {});
