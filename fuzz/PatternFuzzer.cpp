// Arbitrary patterns and names: building the expression, compiling and
// matching must never crash, hang or leak; every match begins and ends where
// a character of the (UTF-8) name does; a plain wildcard pattern must match
// exactly the names a wildcard matcher written out here accepts, except where
// the library gives up on a pattern of many stars (its backtracking limit):
// such a name is a failure, never taken.
//
// Input: one byte whose low bit is the regular-expression flag, then the
// pattern, a NUL, and the name (up to its own NUL, as a file name ends).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "ExtLib/IniFile.h"
#include "ExtLib/Utf8.h"
#include "FuzzCheck.h"
#include "sweep/PatternMatcher.h"

namespace {

// No longer pattern fits in vorn.ini, and no longer name in a directory.
constexpr size_t MaxPatternBytes = IniFile::MaxValueBytes;
constexpr size_t MaxNameBytes = 255;

struct Case {
    bool regex = false;
    std::string pattern;
    std::string name;
};

Case Split(const uint8_t* data, size_t size) {
    Case c;
    if (size == 0) return c;
    c.regex = data[0] & 1;
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const size_t nul = rest.find('\0');
    c.pattern = std::string(rest.substr(0, nul));
    if (nul != std::string_view::npos) {
        const std::string_view name = rest.substr(nul + 1);
        c.name = std::string(name.substr(0, name.find('\0')));
    }
    return c;
}

// "." and the two wildcards are all a plain pattern holds besides literal bytes.
bool IsPlainWildcard(const std::string& pattern) {
    return pattern.find_first_of("\\^$|+()[]{}") == std::string::npos;
}

size_t CharacterLength(std::string_view text) { return std::max<size_t>(Utf8Length(text), 1); }

// Where a character of the name begins (and its end); a byte that starts no
// UTF-8 character is a character of its own.
std::vector<char> Starts(std::string_view name) {
    std::vector<char> starts(name.size() + 1, 1);
    for (size_t at = 0, length; at < name.size(); at += length) {
        length = CharacterLength(name.substr(at));
        for (size_t inside = at + 1; inside < at + length; ++inside) starts[inside] = 0;
    }
    return starts;
}

// "*" any run of bytes, "?" one byte, and every other character of the
// pattern itself, beginning where a character of the name does.
bool WildcardMatches(std::string_view pattern, std::string_view name) {
    const std::vector<char> starts = Starts(name);
    // matched[j]: the pattern so far matches the first j bytes of the name.
    std::vector<char> matched(name.size() + 1, 0);
    matched[0] = 1;
    for (size_t at = 0, length; at < pattern.size(); at += length) {
        length = CharacterLength(pattern.substr(at));
        const std::string_view p = pattern.substr(at, length);
        std::vector<char> next(name.size() + 1, 0);
        for (size_t j = 0; j <= name.size(); ++j) {
            const size_t from = j - std::min(j, length);
            if (p == "*") next[j] = matched[j] || (j > 0 && next[j - 1]);
            else if (p == "?") next[j] = j > 0 && matched[j - 1];
            else next[j] = j >= length && starts[from] && matched[from] && name.substr(from, length) == p;
        }
        matched.swap(next);
    }
    return matched[name.size()];
}

size_t ExpectedWildcardLength(const std::string& pattern) {
    const auto count = [&pattern](char c) {
        return static_cast<size_t>(std::count(pattern.begin(), pattern.end(), c));
    };
    return pattern.size() + 2 + count('.') + count('?') + 2 * count('*');
}

// Every record lies inside the subject and begins and ends where a
// character does (unless "\\K" moved its start); each attempt starts where
// the previous match ended.
void CheckRecords(const Case& c, const PatternMatcher& matcher, size_t most) {
    const std::vector<MatchRecord>& records = matcher.Records();
    FUZZ_CHECK(records.size() <= most);
    const std::vector<char> starts = Starts(c.name);
    const bool startKept = c.pattern.find("\\K") == std::string::npos;
    const char* position = c.name.c_str();
    for (const MatchRecord& record : records) {
        FUZZ_CHECK(record.start == position && record.result >= 0);
        const size_t at = static_cast<size_t>(position - c.name.c_str());
        FUZZ_CHECK(record.offsets[0] <= record.offsets[1] && record.offsets[1] <= c.name.size() - at);
        FUZZ_CHECK(starts[at + record.offsets[1]] && (!startKept || starts[at + record.offsets[0]]));
        position += record.offsets[1];
    }
}

void CheckExpression(const Case& c, const std::string& expression) {
    if (c.regex) {
        FUZZ_CHECK(expression == c.pattern);
        return;
    }
    FUZZ_CHECK(expression.size() == ExpectedWildcardLength(c.pattern));
    FUZZ_CHECK(expression.front() == '^' && expression.back() == '$');
}

// One attempt, no limit, a limit of one and a thread's own match agree on
// whether the name matches.
bool MatchEveryWay(const Case& c, PatternMatcher& matcher) {
    const char* name = c.name.c_str();
    const bool once = matcher.Match(name, 1);
    CheckRecords(c, matcher, 1);
    FUZZ_CHECK(matcher.Match(name, 0) == once);
    CheckRecords(c, matcher, 1);
    FUZZ_CHECK(matcher.Match(name, PatternMatcher::Unlimited) == once);
    CheckRecords(c, matcher, c.name.size() + 1);
    FUZZ_CHECK((NameMatch(matcher)(name) == NameMatchResult::Match) == once);
    return once;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Case c = Split(data, size);
    if (c.pattern.size() > MaxPatternBytes || c.name.size() > MaxNameBytes) return 0;
    const std::string expression = BuildExpression(c.pattern, c.regex);
    CheckExpression(c, expression);
    const bool plain = !c.regex && IsPlainWildcard(c.pattern);
    PatternMatcher matcher;
    if (!matcher.Compile(expression, !c.regex)) {
        FUZZ_CHECK(!plain && !matcher.Match(c.name.c_str(), 1));
        return 0;
    }
    const bool matched = MatchEveryWay(c, matcher);
    if (plain && matched != WildcardMatches(c.pattern, c.name))
        FUZZ_CHECK(NameMatch(matcher)(c.name.c_str()) == NameMatchResult::Failed);
    return 0;
}
