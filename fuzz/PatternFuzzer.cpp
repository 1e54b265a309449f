// Arbitrary patterns and names: building the expression, compiling and
// matching must never crash, hang or leak; a plain wildcard pattern must
// match exactly the names a wildcard matcher written out here accepts, except
// where the library gives up on a pattern of many stars (its backtracking
// limit): such a name is spared, never the other way round.
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

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "ExtLib/IniFile.h"
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

// "*" any run of bytes, "?" one byte, anything else itself.
bool WildcardMatches(std::string_view pattern, std::string_view name) {
    // matched[j]: the pattern so far matches the first j bytes of the name.
    std::vector<char> matched(name.size() + 1, 0);
    matched[0] = 1;
    for (const char p : pattern) {
        std::vector<char> next(name.size() + 1, 0);
        if (p == '*') {
            for (size_t j = 0; j <= name.size(); ++j) next[j] = matched[j] || (j > 0 && next[j - 1]);
        } else {
            for (size_t j = 1; j <= name.size(); ++j)
                next[j] = matched[j - 1] && (p == '?' || p == name[j - 1]);
        }
        matched.swap(next);
    }
    return matched[name.size()];
}

// Whether the library, compiling as the matcher does, stopped at one of its
// limits rather than finding no match.
bool LibraryGaveUp(const std::string& expression, const std::string& name) {
    const auto bytes = [](const std::string& text) { return reinterpret_cast<PCRE2_SPTR>(text.c_str()); };
    int error;
    PCRE2_SIZE offset;
    const uint32_t options = PCRE2_NEVER_UTF | PCRE2_NEVER_UCP | PCRE2_DOTALL | PCRE2_DOLLAR_ENDONLY;
    pcre2_code* code = pcre2_compile(bytes(expression), PCRE2_ZERO_TERMINATED, options, &error, &offset, nullptr);
    FUZZ_CHECK(code != nullptr);
    // The limits differ between the compiled and the interpreted matcher.
    pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    const int result = pcre2_match(code, bytes(name), name.size(), 0, 0, data, nullptr);
    pcre2_match_data_free(data);
    pcre2_code_free(code);
    return result == PCRE2_ERROR_MATCHLIMIT || result == PCRE2_ERROR_DEPTHLIMIT ||
           result == PCRE2_ERROR_HEAPLIMIT;
}

size_t ExpectedWildcardLength(const std::string& pattern) {
    const auto count = [&pattern](char c) {
        return static_cast<size_t>(std::count(pattern.begin(), pattern.end(), c));
    };
    return pattern.size() + 2 + count('.') + 3 * count('?') + count('*');
}

// Every record lies inside the subject, and each attempt starts where the
// previous match ended.
void CheckRecords(const PatternMatcher& matcher, const std::string& name, size_t most) {
    const std::vector<MatchRecord>& records = matcher.Records();
    FUZZ_CHECK(records.size() <= most);
    const char* position = name.c_str();
    for (const MatchRecord& record : records) {
        FUZZ_CHECK(record.start == position && record.result >= 0);
        const size_t remaining = name.size() - static_cast<size_t>(position - name.c_str());
        FUZZ_CHECK(record.offsets[0] <= record.offsets[1] && record.offsets[1] <= remaining);
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

// One attempt, no limit and a limit of one agree on whether the name matches.
bool MatchEveryWay(PatternMatcher& matcher, const std::string& name) {
    const bool once = matcher.Match(name.c_str(), 1);
    CheckRecords(matcher, name, 1);
    FUZZ_CHECK(matcher.Match(name.c_str(), 0) == once);
    CheckRecords(matcher, name, 1);
    FUZZ_CHECK(matcher.Match(name.c_str(), PatternMatcher::Unlimited) == once);
    CheckRecords(matcher, name, name.size() + 1);
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
    const bool matched = MatchEveryWay(matcher, c.name);
    if (plain && matched != WildcardMatches(c.pattern, c.name))
        FUZZ_CHECK(!matched && LibraryGaveUp(expression, c.name));
    return 0;
}
