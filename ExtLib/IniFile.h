#pragma once
// A strict, read-only INI reader. The whole file is read once into a list of
// sections, each a list of key=value entries, in file order.
//
// Rules: lines end at CR (LF bytes are dropped); the first blank line ends the
// file; ";" at the start makes a comment; "[name]" starts a section (the name is
// everything between the first and the last byte); "key=value" needs a key
// before its first "="; entries before the first section are dropped; any other
// line makes the whole load fail with "profile <path> format not support" on
// standard output. Nothing is trimmed. Names are cut to 30 bytes, keys to 50,
// values to 200. Lookups compare exactly, case included; the first matching
// section and, in it, the first matching key win.

#include <string>
#include <string_view>

struct IniEntry {
    char key[51];
    char value[201];
    IniEntry* next;
};

struct IniSection {
    char name[31];
    IniEntry* entries;
    IniSection* next;
};

class IniFile {
public:
    enum class LineKind { Section, Entry, Ignored, Unsupported };

    static constexpr size_t MaxNameBytes = 30;
    static constexpr size_t MaxKeyBytes = 50;
    static constexpr size_t MaxValueBytes = 200;

    IniFile() = default;
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;
    virtual ~IniFile();

    // True when the file holds at least one section. Call once per object.
    bool Load(const char* path);
    // The same from the bytes of a file read already; `path` names it in the
    // message, which is written only when `report` is set.
    bool LoadText(std::string_view bytes, const char* path, bool report = true);
    // A copy of the value, or an empty text when the section or key is absent.
    std::string GetString(const char* section, const char* key) const;

    static LineKind ClassifyLine(const std::string& line);

private:
    template <class Lines>
    static IniSection* Parse(Lines& lines, const char* path, bool report);
    static void FreeSections(IniSection* head);

    IniSection* sections = nullptr;
};
