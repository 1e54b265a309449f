#include "sweep/PatternMatcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(BuildExpressionTest, WildcardsTranslateAndRegexesStayAsTheyAre) {
    const struct {
        const char* pattern;
        const char* expression;
    } wildcards[] = {
        {"*.*", "^\\C*\\.\\C*$"},
        {"*.log", "^\\C*\\.log$"},
        {"?.txt", "^\\C\\.txt$"},
        {"a*b?c", "^a\\C*b\\Cc$"},
        {"", "^$"},
        {"a+.txt", "^a+\\.txt$"},
        {"[0-9]?.(x|y)", "^[0-9]\\C\\.(x|y)$"},
    };
    for (const auto& w : wildcards) {
        EXPECT_EQ(BuildExpression(w.pattern, false), w.expression) << w.pattern;
        EXPECT_EQ(BuildExpression(w.pattern, true), w.pattern);
    }
}

TEST(PatternMatcherTest, NamesMatchCaseSensitively) {
    const struct {
        const char* pattern;
        bool regex;
        const char* name;
        bool matches;
    } cases[] = {
        {"*.*", false, "a.txt", true},
        {"*.*", false, "archive.tar.gz", true},
        {"*.*", false, "README", false},
        {"*.LOG", false, "app.log", false},
        {"LOG", true, "app.log", false},
        {"?.txt", false, "a.txt", true},
        {"?.txt", false, "ab.txt", false},
        {"log", true, "catalog.txt", true},
        {"^log$", true, "log", true},
        {"^log$", true, "catalog", false},
        {"a+.txt", false, "aaa.txt", true},
        {"a+.txt", false, "a+.txt", false},
        {"[0-9]*.log", false, "7days.log", true},
        {"*.tmp;*.log", false, "a.log", false},
        {"", false, "a", false},
        {"*.log", false, "x.log\n", false},  // a line feed is part of the name
        {"*.log", false, "a\nb.log", true},
        {"?", false, "\n", true},
        {"log$", true, "x.log\n", true},  // a regular expression keeps the library's meaning
        {"^[]a]$", true, "]", true},     // a closing bracket first in a class is a member
        {"(*LIMIT_MATCH=1000)^log$", true, "log", true},  // a setting keeps its place at the start
        {"(*LIMIT_MATCH=1000)^log$", true, "catalog", false},  // and what follows it stays whole
        {"^a\\Q.b\\E$", true, "a.b", true},   // quoted: every character is itself
        {"^a\\Q.b\\E$", true, "axb", false},
        {"\\Q*\\E", true, "x.log", false},
    };
    PatternMatcher matcher;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " / " + c.name);
        ASSERT_TRUE(matcher.Compile(BuildExpression(c.pattern, c.regex), !c.regex));
        EXPECT_EQ(matcher.Match(c.name, 1), c.matches);
    }
}

TEST(PatternMatcherTest, BrokenPatternsAndCharacterModesDoNotCompile) {
    PatternMatcher matcher;
    ASSERT_TRUE(matcher.Compile("a"));
    // The last: so long that the library compiles it, but not once more with a
    // check at every item; half a pattern must not pass for a whole one.
    const std::string tooLong(9000, 'a');
    for (const char* expression : {"*.*", "^data(1\\.txt$", "(*UTF)a", "(*UCP)a", tooLong.c_str()}) {
        EXPECT_FALSE(matcher.Compile(expression)) << expression;
        EXPECT_FALSE(matcher.Match("a", 1));
    }
}

TEST(PatternMatcherTest, LimitBoundsTheRecordedMatches) {
    const char* subject = "banana";
    const struct {
        int limit;
        std::vector<size_t> starts;  // of each attempt, in the subject
    } limits[] = {{PatternMatcher::Unlimited, {0, 3, 5}}, {2, {0, 3}}, {1, {0}}, {0, {0}}, {-2, {0}}};
    PatternMatcher matcher;
    ASSERT_TRUE(matcher.Compile("an?"));
    for (const auto& l : limits) {
        SCOPED_TRACE(l.limit);
        ASSERT_TRUE(matcher.Match(subject, l.limit));
        std::vector<size_t> starts;
        for (const MatchRecord& record : matcher.Records()) starts.push_back(record.start - subject);
        EXPECT_EQ(starts, l.starts);
    }
    const MatchRecord& first = matcher.Records().front();
    EXPECT_EQ(first.result, 1);
    EXPECT_EQ(first.offsets[0], 1u);
    EXPECT_EQ(first.offsets[1], 3u);
    EXPECT_FALSE(matcher.Match("xyz", PatternMatcher::Unlimited));
    EXPECT_TRUE(matcher.Records().empty());
}

TEST(PatternMatcherTest, UnlimitedMatchingEndsOnAnEmptyMatch) {
    PatternMatcher matcher;
    ASSERT_TRUE(matcher.Compile("x*"));
    ASSERT_TRUE(matcher.Match("abc", PatternMatcher::Unlimited));
    EXPECT_EQ(matcher.Records().size(), 1u);
    ASSERT_TRUE(matcher.Compile("b*"));
    ASSERT_TRUE(matcher.Match("bba", PatternMatcher::Unlimited));
    EXPECT_EQ(matcher.Records().size(), 2u);  // "bb", then the empty match before "a"
}

// The library's match limit, not a mismatch: the name is neither taken nor
// passed over as though it had been judged.
TEST(PatternMatcherTest, AMatchTheLibraryGivesUpOnIsAFailure) {
    PatternMatcher matcher;
    ASSERT_TRUE(matcher.Compile("^(a?){30}a{30}$"));
    const NameMatch matches(matcher);
    EXPECT_EQ(matches(std::string(30, 'a').c_str()), NameMatchResult::Failed);
    EXPECT_EQ(matches("b"), NameMatchResult::NoMatch);
    ASSERT_TRUE(matcher.Compile("^a{30}$"));
    EXPECT_EQ(NameMatch(matcher)(std::string(30, 'a').c_str()), NameMatchResult::Match);
}

TEST(PatternMatcherTest, MoreGroupsThanRecordedStillMatch) {
    PatternMatcher matcher;
    ASSERT_TRUE(matcher.Compile("(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)"));
    ASSERT_TRUE(matcher.Match("abcdefghijk", 1));
    EXPECT_EQ(matcher.Records().front().result, 0);
}

}  // namespace
