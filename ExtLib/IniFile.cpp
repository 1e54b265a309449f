#include "ExtLib/IniFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ExtLib/TextFile.h"

namespace {

// Running out of memory while reading the configuration leaves nothing sensible
// to do; the reader says where and ends the process.
void* AllocateOrExit(size_t size, int line) {
    void* block = std::calloc(1, size);
    if (block) return block;
    std::printf("file %s, line %d memory NULL! exit(1)\n", __FILE_NAME__, line);
    std::fflush(stdout);
    std::exit(1);
}

void CopyCut(char* target, const char* source, size_t length, size_t limit) {
    const size_t n = length < limit ? length : limit;
    std::memcpy(target, source, n);
    target[n] = '\0';
}

struct ParseState {
    IniSection* head = nullptr;
    IniSection* current = nullptr;
    IniEntry** nextEntry = nullptr;
    IniSection** nextSection = &head;
};

void AddSection(ParseState& state, const std::string& line) {
    auto* section = static_cast<IniSection*>(AllocateOrExit(sizeof(IniSection), __LINE__));
    CopyCut(section->name, line.data() + 1, line.size() - 2, IniFile::MaxNameBytes);
    *state.nextSection = section;
    state.nextSection = &section->next;
    state.current = section;
    state.nextEntry = &section->entries;
}

void AddEntry(ParseState& state, const std::string& line) {
    if (!state.current) return;
    auto* entry = static_cast<IniEntry*>(AllocateOrExit(sizeof(IniEntry), __LINE__));
    const size_t equals = line.find('=');
    CopyCut(entry->key, line.data(), equals, IniFile::MaxKeyBytes);
    CopyCut(entry->value, line.data() + equals + 1, line.size() - equals - 1, IniFile::MaxValueBytes);
    *state.nextEntry = entry;
    state.nextEntry = &entry->next;
}

}  // namespace

IniFile::~IniFile() { FreeSections(sections); }

bool IniFile::Load(const char* path) {
    TextFile file;
    if (!file.Open(path, TextFile::GenericRead, TextFile::OpenExisting)) return false;
    sections = Parse(file, path, true);
    return sections != nullptr;
}

bool IniFile::LoadText(std::string_view bytes, const char* path, bool report) {
    TextLines lines(bytes);
    sections = Parse(lines, path, report);
    return sections != nullptr;
}

std::string IniFile::GetString(const char* section, const char* key) const {
    const IniSection* s = sections;
    while (s && std::strcmp(s->name, section) != 0) s = s->next;
    if (!s) return {};
    for (const IniEntry* e = s->entries; e; e = e->next) {
        if (std::strcmp(e->key, key) == 0) return e->value;
    }
    return {};
}

// In UTF-8 no byte of a multi-byte character can be "=", so a plain byte
// search finds only real separators.
IniFile::LineKind IniFile::ClassifyLine(const std::string& line) {
    if (line.empty() || line[0] == ';') return LineKind::Ignored;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') return LineKind::Section;
    const size_t equals = line.find('=');
    if (equals != std::string::npos && equals != 0) return LineKind::Entry;
    return LineKind::Unsupported;
}

template <class Lines>
IniSection* IniFile::Parse(Lines& lines, const char* path, bool report) {
    ParseState state;
    // The first empty line is where reading stops: the end of the file looks
    // the same.
    for (std::string line = lines.ReadLine(); !line.empty(); line = lines.ReadLine()) {
        switch (ClassifyLine(line)) {
        case LineKind::Section: AddSection(state, line); break;
        case LineKind::Entry: AddEntry(state, line); break;
        case LineKind::Ignored: break;
        case LineKind::Unsupported:
            if (report) {
                std::printf("profile %s format not support\n", path);
                std::fflush(stdout);
            }
            FreeSections(state.head);
            return nullptr;
        }
    }
    return state.head;
}

void IniFile::FreeSections(IniSection* head) {
    while (head) {
        IniSection* next = head->next;
        for (IniEntry* e = head->entries; e;) {
            IniEntry* nextEntry = e->next;
            std::free(e);
            e = nextEntry;
        }
        std::free(head);
        head = next;
    }
}
