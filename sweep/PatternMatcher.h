#pragma once
// The name pattern of a sweep: its translation into one regular expression and
// the compiled expression that file names are tested against. Matching works
// on bytes and is case-sensitive; a pattern that asks for UTF or UCP mode does
// not compile.

#include <array>
#include <cstddef>
#include <string>
#include <vector>

struct pcre2_real_code_8;
struct pcre2_real_match_data_8;

// A wildcard pattern becomes an anchored expression in which "." is literal,
// "?" is exactly one byte and "*" any run of bytes; every other sign keeps its
// regular-expression meaning. A regular expression is taken as it stands
// (unanchored).
std::string BuildExpression(const std::string& pattern, bool regex);

// The UTF-8 `expression` spelt as the names it is matched against are
// (platform/Path.h, NameBytes), so that "?" is one byte of those. A byte of a
// character there that is an ASCII sign (the second byte of a double-byte
// character may be a backslash or "|") is escaped: it stands for itself.
std::string ExpressionForNames(const std::string& expression);

struct MatchRecord {
    static constexpr size_t Pairs = 10;  // the whole match and 9 groups

    const char* start = nullptr;              // where this attempt began, inside the subject
    std::array<size_t, 2 * Pairs> offsets{};  // start/end pairs, relative to `start`
    int result = 0;                           // 0: matched, with more groups than the pairs hold
};

class PatternMatcher {
public:
    static constexpr int Unlimited = -1;

    PatternMatcher() = default;
    virtual ~PatternMatcher();
    PatternMatcher(const PatternMatcher&) = delete;
    PatternMatcher& operator=(const PatternMatcher&) = delete;

    // Replaces the held expression; false (and nothing held) when it does not
    // compile. A wildcard's expression lets "*" and "?" take a line feed and
    // "$" mean the very end of the name: file names may hold line feeds, and
    // "*.log" must not take "x.log" followed by one.
    bool Compile(const std::string& expression, bool wildcard = false);
    // Collects successive matches over the zero-terminated `subject` into the
    // records: up to `limit` (Unlimited for no bound, 0 for one attempt).
    // Each attempt begins where the previous match ended; an empty match ends
    // the search. True when at least one match was recorded.
    bool Match(const char* subject, int limit);

    const std::vector<MatchRecord>& Records() const { return records; }

private:
    friend class NameMatch;
    void Release();

    pcre2_real_code_8* code = nullptr;
    pcre2_real_match_data_8* matchData = nullptr;
    std::vector<MatchRecord> records;
};

// Whether a name matches, for one thread of many: each keeps its own match
// data over the matcher's compiled expression, which they share. The
// matcher must outlive it and keep its expression meanwhile.
class NameMatch {
public:
    explicit NameMatch(const PatternMatcher& matcher);
    ~NameMatch();
    NameMatch(const NameMatch&) = delete;
    NameMatch& operator=(const NameMatch&) = delete;

    // As Match with a limit of 1 says, without recording.
    bool operator()(const char* name) const;

private:
    const pcre2_real_code_8* code;
    pcre2_real_match_data_8* data;
};
