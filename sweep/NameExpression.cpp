#include "sweep/NameExpression.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "ExtLib/StringEx.h"
#include "ExtLib/Utf8.h"
#include "platform/NameCharacters.h"
#include "platform/Path.h"

namespace {

constexpr const char* RangeRefusal =
    "字符类“%s”以多字节字符为范围的一端：范围按字节比较，不是字符的次序，请逐个列出字符";

bool IsAlnum(unsigned char byte) { return byte < 0x80 && std::isalnum(byte); }

std::string HexByte(unsigned char byte) {
    static constexpr char hex[] = "0123456789ABCDEF";
    return {'\\', 'x', hex[byte >> 4], hex[byte & 0xF]};
}

// A byte as a literal item: letters and digits as they are, anything else
// in hexadecimal, which means the byte itself wherever it stands.
std::string LiteralByte(unsigned char byte) { return IsAlnum(byte) ? std::string(1, char(byte)) : HexByte(byte); }

std::string BoundaryCheck() { return "(?C" + std::to_string(NameExpression::BoundaryCallout) + ")"; }

// The length of the character of the expression at `at`: a byte that
// starts no UTF-8 character stands for itself.
size_t LengthAt(std::string_view text, size_t at) { return std::max<size_t>(Utf8Length(text.substr(at)), 1); }

class Writer {
public:
    explicit Writer(const std::string& source) : source(source) {}

    NameExpression Write(bool regex);

private:
    void Add(std::string_view text) { out.text += text; }
    // An item that may begin inside a character.
    void AddInside(std::string_view text) {
        insideAt.push_back(out.text.size());
        out.text += text;
    }
    // The bytes of one character of the names, whole.
    void Character(const std::string& bytes);
    // From a boundary to the next: one whole character of the names.
    void AnyCharacter(bool newline);
    size_t Escape(size_t at);
    size_t Quoted(size_t at);
    size_t Class(size_t at);
    void WholeCharacterClass(bool negated, const std::string& rest, const std::vector<std::string>& characters);
    size_t Comment(size_t at);
    size_t Verbs();
    // Ends the writing: `range` holds a range with a multibyte end.
    size_t Refuse(const std::string& range);

    const std::string& source;
    NameExpression out;
    std::vector<size_t> insideAt;
};

void Writer::Character(const std::string& bytes) {
    if (bytes.size() == 1) return Add(LiteralByte(static_cast<unsigned char>(bytes[0])));
    Add("(?:" + HexByte(static_cast<unsigned char>(bytes[0])));
    for (size_t i = 1; i < bytes.size(); ++i) AddInside(HexByte(static_cast<unsigned char>(bytes[i])));
    Add(")");
}

// The first byte is taken, then more only while they lie inside the
// character; the item after the group asks that it ended on a boundary.
void Writer::AnyCharacter(bool newline) {
    Add("(?:");
    if (!newline) {
        // "." as the expression's options have it: the byte need not be a
        // whole character.
        Add("(?=.");
        AddInside(")");
    }
    Add("\\C");
    AddInside("(?:");
    Add("(?C" + std::to_string(NameExpression::InsideCallout) + ")");
    AddInside("\\C");
    AddInside(")*?");
    Add(")");
}

NameExpression Writer::Write(bool regex) {
    size_t at = Verbs();
    if (regex) Add(BoundaryCheck());
    while (at < source.size() && out.refusal.empty()) {
        const char c = source[at];
        const size_t length = LengthAt(source, at);
        if (length > 1) {
            Character(platform::NameBytes(source.substr(at, length)));
            at += length;
        } else if (c == '\\') {
            at = Escape(at);
        } else if (c == '[') {
            at = Class(at);
        } else if (source.compare(at, 3, "(?#") == 0) {
            at = Comment(at);
        } else {
            // The match ends here, with no item after it to ask for a boundary.
            if (source.compare(at, 8, "(*ACCEPT") == 0) Add(BoundaryCheck());
            if (c == '.') AnyCharacter(false);
            else Add(std::string(1, c));
            ++at;
        }
    }
    if (!out.refusal.empty()) return {{}, {}, out.refusal};
    out.inside.assign(out.text.size() + 1, 0);
    for (const size_t offset : insideAt) out.inside[offset] = 1;
    return out;
}

// Settings such as "(*LIMIT_MATCH=9)" count only at the very start.
size_t Writer::Verbs() {
    size_t at = 0;
    while (source.compare(at, 2, "(*") == 0) {
        const size_t close = source.find(')', at);
        const auto setting = [](char c) { return IsAlnum(c) || c == '_' || c == '='; };
        if (close == std::string::npos || !std::all_of(source.begin() + at + 2, source.begin() + close, setting)) break;
        Add(source.substr(at, close + 1 - at));
        at = close + 1;
    }
    return at;
}

size_t Writer::Escape(size_t at) {
    if (at + 1 >= source.size()) {
        Add("\\");
        return at + 1;
    }
    const char c = source[at + 1];
    const size_t length = LengthAt(source, at + 1);
    if (length > 1) {
        Character(platform::NameBytes(source.substr(at + 1, length)));
        return at + 1 + length;
    }
    if (c == 'Q') return Quoted(at + 2);
    if (c == 'E') return at + 2;
    if (c == 'C') {
        AddInside("\\C");
        return at + 2;
    }
    // "\c[" is one sign, not the start of a class.
    const size_t end = std::min(source.size(), at + (c == 'c' ? 3 : 2));
    Add(source.substr(at, end - at));
    return end;
}

// Between "\Q" and "\E" every character is itself.
size_t Writer::Quoted(size_t at) {
    while (at < source.size() && source.compare(at, 2, "\\E") != 0) {
        const size_t length = LengthAt(source, at);
        if (length > 1) Character(platform::NameBytes(source.substr(at, length)));
        else Add(LiteralByte(static_cast<unsigned char>(source[at])));
        at += length;
    }
    return std::min(source.size(), at + 2);
}

// An unclosed comment is left for the library to refuse.
size_t Writer::Comment(size_t at) {
    const size_t close = source.find(')', at);
    const size_t end = close == std::string::npos ? source.size() : close + 1;
    Add(source.substr(at, end - at));
    return end;
}

size_t Writer::Refuse(const std::string& range) {
    StringEx text;
    text.Format(RangeRefusal, range.c_str());
    out.refusal = text.Str();
    return source.size();
}

// The member of a class at `at`: a POSIX class, an escape, or one
// character; a backslash before a multibyte character is dropped.
std::string_view ClassMember(std::string_view text, size_t& at) {
    const size_t posix = text.substr(at, 2) == "[:" ? text.find(":]", at + 2) : std::string_view::npos;
    size_t length = posix != std::string_view::npos ? posix + 2 - at : LengthAt(text, at);
    if (text[at] == '\\' && at + 1 < text.size()) {
        const size_t escaped = LengthAt(text, at + 1);
        if (escaped > 1) ++at;
        length = escaped > 1 ? escaped : 2;
    }
    const std::string_view member = text.substr(at, length);
    at += length;
    return member;
}

// A class of single bytes stays one, its members spelt as names are.
size_t Writer::Class(size_t at) {
    const size_t start = at++;
    const bool negated = source.compare(at, 1, "^") == 0;
    if (negated) ++at;
    std::string rest;
    std::vector<std::string> characters;
    for (bool first = true; at < source.size() && (first || source[at] != ']'); first = false) {
        const std::string member(ClassMember(source, at));
        if (Utf8Length(member) <= 1) {
            rest += member;
            continue;
        }
        const bool dashBefore = rest.size() > 1 && rest.ends_with('-') && !rest.ends_with("\\-");
        const bool dashAfter = source.compare(at, 1, "-") == 0 && source.compare(at + 1, 1, "]") != 0;
        if (dashBefore || dashAfter) return Refuse(source.substr(start, source.find(']', at) + 1 - start));
        const std::string bytes = platform::NameBytes(member);
        if (bytes.size() > 1) characters.push_back(bytes);
        else rest += HexByte(static_cast<unsigned char>(bytes[0]));
    }
    // An unclosed class is left for the library to refuse.
    if (at >= source.size()) Add(source.substr(start));
    else if (characters.empty()) Add(std::string(negated ? "[^" : "[") + rest + "]");
    else WholeCharacterClass(negated, rest, characters);
    return at + 1;
}

// `rest` holds the members of single bytes.
void Writer::WholeCharacterClass(bool negated, const std::string& rest, const std::vector<std::string>& characters) {
    Add(negated ? "(?!" : "(?:");
    if (!rest.empty()) Add("[" + std::string(rest.front() == '^' ? "\\" : "") + rest + "]|");
    for (const std::string& bytes : characters) {
        if (&bytes != &characters.front()) Add("|");
        Character(bytes);
    }
    if (!negated) return Add(")");
    // A negated class refuses a character by its first byte too.
    AddInside(")");
    AnyCharacter(true);
}

}  // namespace

NameExpression ExpressionForNames(const std::string& expression, bool regex) {
    return Writer(expression).Write(regex);
}

void CharacterStarts(std::string_view name, std::vector<char>& starts) {
    starts.assign(name.size() + 1, 0);
    for (size_t at = 0; at < name.size();) {
        starts[at] = 1;
        const bool lead = at + 1 < name.size() && platform::IsLeadByte(static_cast<unsigned char>(name[at]));
        at += platform::NamesInUtf8 ? LengthAt(name, at) : lead ? 2 : 1;
    }
    starts[name.size()] = 1;
}
