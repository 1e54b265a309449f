#include "sweep/PatternMatcher.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "ExtLib/Utf8.h"
#include "platform/Path.h"

namespace {

// A backslash before a letter or a digit would make it a sign of its own.
bool NeedsEscape(char byte) {
    return static_cast<unsigned char>(byte) < 0x80 && !std::isalnum(static_cast<unsigned char>(byte));
}

}  // namespace

std::string BuildExpression(const std::string& pattern, bool regex) {
    if (regex) return pattern;
    // One pass gives what three successive replacements would: no
    // replacement text contains a sign that a later one replaces.
    std::string expression = "^";
    for (const char c : pattern) {
        switch (c) {
            case '.':
                expression += "\\.";
                break;
            case '?':
                expression += ".{1}";
                break;
            case '*':
                expression += ".*";
                break;
            default:
                expression += c;
        }
    }
    return expression + "$";
}

std::string ExpressionForNames(const std::string& expression) {
    std::string spelt;
    for (size_t at = 0, length = 0; at < expression.size(); at += length) {
        // A byte that starts no character stands for itself.
        length = std::max<size_t>(Utf8Length(std::string_view(expression).substr(at)), 1);
        if (length == 1) {
            spelt += expression[at];
            continue;
        }
        for (const char byte : platform::NameBytes(expression.substr(at, length))) {
            if (NeedsEscape(byte)) spelt += '\\';
            spelt += byte;
        }
    }
    return spelt;
}

PatternMatcher::~PatternMatcher() { Release(); }

void PatternMatcher::Release() {
    pcre2_match_data_free(matchData);
    pcre2_code_free(code);
    matchData = nullptr;
    code = nullptr;
}

bool PatternMatcher::Compile(const std::string& expression, bool wildcard) {
    Release();
    // The library may have been built with UTF support; names are matched as
    // bytes whatever the expression asks for.
    int error;
    PCRE2_SIZE errorOffset;
    const uint32_t names = wildcard ? PCRE2_DOTALL | PCRE2_DOLLAR_ENDONLY : 0;
    code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(expression.c_str()), PCRE2_ZERO_TERMINATED,
                         PCRE2_NEVER_UTF | PCRE2_NEVER_UCP | names, &error, &errorOffset, nullptr);
    if (!code) return false;
    // Without JIT support the interpreter gives the same results, only slower.
    pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
    matchData = pcre2_match_data_create(MatchRecord::Pairs, nullptr);
    if (!matchData) Release();
    return code != nullptr;
}

bool PatternMatcher::Match(const char* subject, int limit) {
    records.clear();
    if (!code) return false;
    const char* position = subject;
    size_t remaining = std::strlen(subject);
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(matchData);
    for (bool more = true; more;) {
        MatchRecord& record = records.emplace_back();
        record.start = position;
        record.result =
            pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(position), remaining, 0, 0, matchData, nullptr);
        if (record.result < 0) {
            records.pop_back();
            break;
        }
        std::memcpy(record.offsets.data(), ovector, sizeof record.offsets);
        if (limit <= 0 && limit != Unlimited) break;
        const size_t end = record.offsets[1];
        position += end;
        remaining -= end;
        if (limit > 0) --limit;
        // An empty match would leave the position where it is for ever.
        more = record.result > 0 && remaining > 0 && limit != 0 && end > 0;
    }
    return !records.empty();
}

NameMatch::NameMatch(const PatternMatcher& matcher)
    : code(matcher.code), data(code ? pcre2_match_data_create_from_pattern(code, nullptr) : nullptr) {}

NameMatch::~NameMatch() { pcre2_match_data_free(data); }

bool NameMatch::operator()(const char* name) const {
    return data && pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(name), std::strlen(name), 0, 0, data, nullptr) >= 0;
}
