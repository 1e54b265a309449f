#pragma once
// The name pattern of a sweep: its translation into one regular expression and
// the compiled expression that file names are tested against. Matching is
// case-sensitive and never begins or ends inside a character of a name
// (sweep/NameExpression.h), though "?" is one byte; a pattern that asks for
// UTF or UCP mode does not compile.

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// A wildcard pattern becomes an anchored expression in which "." is literal,
// "?" is exactly one byte ("\C") and "*" any run of bytes ("\C*"); every
// other sign keeps its regular-expression meaning. A regular expression is
// taken as it stands (unanchored).
std::string BuildExpression(const std::string& pattern, bool regex);

struct MatchRecord {
    static constexpr size_t Pairs = 10;  // the whole match and 9 groups

    const char* start = nullptr;              // where this attempt began, inside the subject
    std::array<size_t, 2 * Pairs> offsets{};  // start/end pairs, relative to `start`
    int result = 0;                           // 0: matched, with more groups than the pairs hold
};

// Whether a name matched; Failed when the library gave up on it (its match
// or depth limit), which says nothing either way.
enum class NameMatchResult { NoMatch, Match, Failed };

class PatternMatcher {
public:
    static constexpr int Unlimited = -1;

    PatternMatcher();
    virtual ~PatternMatcher();
    PatternMatcher(const PatternMatcher&) = delete;
    PatternMatcher& operator=(const PatternMatcher&) = delete;

    // Replaces the held expression, UTF-8 as BuildExpression gives it; false
    // (and nothing held) when it does not compile or cannot be matched on
    // whole characters (Refusal then says why). A wildcard's expression lets
    // "$" mean the very end of the name: file names may hold line feeds, and
    // "*.log" must not take "x.log" followed by one.
    bool Compile(const std::string& expression, bool wildcard = false);
    // Why the last Compile refused its expression although the library
    // would have taken it; empty otherwise.
    const std::string& Refusal() const { return refusal; }
    // Collects successive matches over the zero-terminated `subject` into the
    // records: up to `limit` (Unlimited for no bound, 0 for one attempt).
    // Each attempt begins where the previous match ended; an empty match ends
    // the search. True when at least one match was recorded.
    bool Match(const char* subject, int limit);

    const std::vector<MatchRecord>& Records() const { return records; }

    struct Compiled;
    struct Matching;

private:
    friend class NameMatch;

    std::unique_ptr<Compiled> compiled;
    std::unique_ptr<Matching> matching;
    std::string refusal;
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
    NameMatchResult operator()(const char* name) const;

private:
    const PatternMatcher::Compiled* compiled;
    std::unique_ptr<PatternMatcher::Matching> matching;
};
