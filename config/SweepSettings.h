#pragma once
// The settings of a sweep and their file: vorn.ini in the program directory,
// or another that the command line names.
//
// The flag, integer and speed fields are read by the worker thread while the
// window may write them, so they are atomic and read and written whole. The
// text fields are only read when a run begins; a run works on its own copies.

#include <atomic>
#include <string>
#include <string_view>

class IniFile;

class SweepSettings {
public:
    static constexpr const char* FileName = "vorn.ini";
    static constexpr const char* Section = "vorn";

    SweepSettings();
    virtual ~SweepSettings() = default;

    // Fills the record from the file at `path`. False (and the record
    // unchanged) when the file cannot be read or parsed.
    bool Load(const std::string& path);
    // The same from the bytes of the file at `path`, read already. The
    // reader's message about a line it cannot take is written only when
    // `report` is set.
    bool LoadText(std::string_view bytes, const std::string& path, bool report);
    // Writes the eleven lines of the file at `path` so that a crash or a full disk can
    // never leave a cut file: a temporary file is written, flushed and moved
    // over vorn.ini, which keeps its rights and attributes; where its folder
    // lets no new file be made, or no new file take vorn.ini's place, an
    // existing vorn.ini is rewritten in place. Through a
    // link, the file it leads to is saved and the link stays. False, with
    // vorn.ini untouched, when vorn.ini exists but cannot be opened for
    // writing, when a text has no form in the file's encoding
    // (platform/ConfigText.h), or when any step fails.
    bool Save(const std::string& path) const;
    // The pause for the current speed: 500, 200, 100, 0 ms; 200 for any other value.
    int PauseMillis() const;

    // The eleven lines of the file as Save writes them, before the file's
    // encoding is applied.
    std::string Serialize() const;

    std::atomic<int> speed;
    std::string filepath;
    std::string filename;
    std::string matchPattern;
    std::atomic<bool> subdir;
    std::atomic<bool> system;
    std::atomic<bool> readonly;
    std::atomic<bool> hidden;
    std::atomic<bool> dirtree;
    std::atomic<bool> regex;
    std::atomic<int> expiredays;

private:
    void Fill(const IniFile& ini);
};
