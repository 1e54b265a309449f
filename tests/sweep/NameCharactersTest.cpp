// The character rule of matching, in the encoding of names this process
// runs in: under Wine in code pages 936, 932, 950 and 1252 (each from its own
// locale, cmake/WineTests.cmake), and UTF-8 on Linux. A match never begins or
// ends inside a character and never takes a later byte of one as a character
// of its own; "?" stays one byte.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/NameCharacters.h"
#include "platform/Path.h"
#include "support/PlatformSamples.h"
#include "sweep/PatternMatcher.h"

namespace {

using Names = std::set<std::string>;

// The names that `pattern` takes of `names` (UTF-8, as the system's names
// are spelt for matching).
Names Taken(const char* pattern, bool regex, const Names& names) {
    PatternMatcher matcher;
    EXPECT_TRUE(matcher.Compile(BuildExpression(pattern, regex), !regex)) << pattern << ": " << matcher.Refusal();
    const NameMatch matches(matcher);
    Names taken;
    for (const std::string& name : names) {
        const std::string bytes = platform::NameBytes(name);
        const bool once = matches(bytes.c_str()) == NameMatchResult::Match;
        EXPECT_EQ(matcher.Match(bytes.c_str(), PatternMatcher::Unlimited), once) << pattern << " / " << name;
        if (once) taken.insert(name);
    }
    return taken;
}

TEST(NameCharactersTest, MatchesTakeWholeCharacters) {
    const struct {
        const char* encoding;
        bool regex;
        const char* pattern;
        Names names;
        Names taken;
    } cases[] = {
        // 中 D6 D0, 部分小结 and 爸小 hold D6 D0 across two characters; 丄 81 41.
        {"936", false, "*中*.log", {"中.log", "a中b.log", "部分小结.log", "爸小.log"}, {"中.log", "a中b.log"}},
        {"936", true, "中", {"中.log", "a中b.log", "部分小结.log", "爸小.log"}, {"中.log", "a中b.log"}},
        {"936", false, "*A*.txt", {"A.txt", "丄.txt"}, {"A.txt"}},
        {"936", true, "[中文]\\.txt", {"中.txt", "文.txt", "靶.txt"}, {"中.txt", "文.txt"}},  // 靶 B0 D0
        {"936", true, "^中+\\.txt$", {"中.txt", "中中.txt", "中文.txt"}, {"中.txt", "中中.txt"}},
        {"936", true, "^[^中]\\.txt$", {"中.txt", "文.txt", "a.txt", "ab.txt"}, {"文.txt", "a.txt"}},
        {"936", true, "^.\\.txt$", {"中.txt", "a.txt", "ab.txt"}, {"中.txt", "a.txt"}},
        {"936", true, "^\\中\\.txt$", {"中.txt", "文.txt", "\\中.txt"}, {"中.txt"}},
        {"936", false, "億*", {"億.txt", "億億", "a.txt"}, {"億.txt", "億億"}},  // 83 7C: "|" as a later byte
        {"936", false, "??.txt", {"中.txt", "ab.txt", "a.txt"}, {"中.txt", "ab.txt"}},
        {"936", false, "?.txt", {"中.txt", "a.txt", "한.txt"}, {"a.txt", "한.txt"}},  // 한 is "?" here
        {"936", false, "?*.txt", {"中.txt", "a.txt"}, {"中.txt", "a.txt"}},
        // ア 83 41, ツ 83 63, 表 95 5C, ソ 83 5C, ｱ B1 (one byte).
        {"932", false, "*A*.txt", {"A.txt", "ア.txt"}, {"A.txt"}},
        {"932", false, "*c*.txt", {"c.txt", "ツ.txt"}, {"c.txt"}},
        {"932", true, "[表]\\.log", {"表.log", "ソ.log"}, {"表.log"}},
        {"932", false, "表*", {"表.txt", "表", "ソ.txt"}, {"表.txt", "表"}},
        {"932", false, "*ソ*", {"ソ.txt", "aソ", "表.txt"}, {"ソ.txt", "aソ"}},
        {"932", true, "\\\\", {"表.txt", "ソ.txt", "a\\b"}, {"a\\b"}},
        {"932", false, "??.txt", {"ア.txt", "ｱ.txt", "ab.txt"}, {"ア.txt", "ab.txt"}},
        {"932", true, "^.\\.txt$", {"ア.txt", "ｱ.txt", "ab.txt"}, {"ア.txt", "ｱ.txt"}},
        // 中 A4 A4, 文 A4 E5, 許 B3 5C, 功 A5 5C.
        {"950", false, "許*", {"許.txt", "功.txt"}, {"許.txt"}},
        {"950", true, "\\\\", {"許.txt", "功.txt", "a\\b"}, {"a\\b"}},
        {"950", true, "[中文]\\.txt", {"中.txt", "文.txt", "小.txt"}, {"中.txt", "文.txt"}},
        {"950", true, "^中+\\.txt$", {"中.txt", "中中.txt", "中文.txt"}, {"中.txt", "中中.txt"}},
        {"950", false, "??.txt", {"中.txt", "ab.txt", "a.txt"}, {"中.txt", "ab.txt"}},
        // é E9; 中 is outside the code page and matched as "?".
        {"1252", false, "??.txt", {"中.txt", "é.txt", "ab.txt"}, {"ab.txt"}},
        {"1252", false, "?.txt", {"中.txt", "é.txt", "ab.txt"}, {"中.txt", "é.txt"}},
        {"1252", true, "[é]\\.txt", {"é.txt", "e.txt"}, {"é.txt"}},
        {"1252", false, "*é*", {"café.log", "cafe.log"}, {"café.log"}},
        // 中 E4 B8 AD, 文 E6 96 87, 札 E6 9C AD; \xFF and a cut \xE4\xB8 are bytes of their own.
        {"UTF-8", true, "[中文]\\.txt", {"中.txt", "文.txt", "札.txt"}, {"中.txt", "文.txt"}},
        {"UTF-8", true, "^中+\\.txt$", {"中.txt", "中中.txt", "中文.txt"}, {"中.txt", "中中.txt"}},
        {"UTF-8", true, "^[^中]+$", {"文文", "中文", "abc"}, {"文文", "abc"}},
        {"UTF-8", true, "^.\\.txt$", {"中.txt", "\xFF.txt", "ab.txt"}, {"中.txt", "\xFF.txt"}},
        {"UTF-8", true, "^..\\.txt$", {"\xE4\xB8.txt", "中.txt"}, {"\xE4\xB8.txt"}},
        {"UTF-8", false, "???.txt", {"中.txt", "é.txt", "ab.txt"}, {"中.txt"}},
        {"UTF-8", false, "??.txt", {"中.txt", "é.txt", "ab.txt"}, {"é.txt", "ab.txt"}},
        {"UTF-8", false, "*é.log", {"café.log", "cafe.log", "caf\xC3.log"}, {"café.log"}},  // é C3 A9
        {"UTF-8", true, "^[\\é]\\.txt$", {"é.txt", "\\.txt", "\xC3.txt"}, {"é.txt"}},
        {"UTF-8", true, "^\\Qé\\E$", {"é", "\xC3"}, {"é"}},
        {"UTF-8", true, "^\\中\\.txt$", {"中.txt", "文.txt", "\\中.txt"}, {"中.txt"}},
        {"UTF-8", true, "^[é[:digit:]]$", {"é", "7", "x", ":"}, {"é", "7"}},
        {"UTF-8", true, "\xAD", {"中.txt", "\xAD.txt"}, {"\xAD.txt"}},
        {"UTF-8", true, "^\\C\\C", {"é", "ab", "a"}, {"é", "ab"}},  // "\C" ends the pattern: still a byte
    };
    const std::string encoding = NameEncoding();
    size_t run = 0;
    for (const auto& c : cases) {
        if (encoding != c.encoding) continue;
        ++run;
        EXPECT_EQ(Taken(c.pattern, c.regex, c.names), c.taken) << c.pattern;
    }
    EXPECT_GT(run, 0u) << "no cases for the encoding " << encoding;
}

TEST(NameCharactersTest, LeadBytesAreThoseOfTheCodePage) {
    const struct {
        const char* encoding;
        std::vector<unsigned char> leads, others;
    } pages[] = {
        {"936", {0x81, 0xB0, 0xD6, 0xFE}, {0x41, 0x5C, 0x7F, 0x80}},
        {"932", {0x81, 0x83, 0x95, 0xE0}, {0x41, 0x5C, 0xA1, 0xB1, 0xDF}},
        {"950", {0xA4, 0xB3, 0xF9}, {0x41, 0x5C, 0x80}},
        {"1252", {}, {0x41, 0x83, 0xD6, 0xE9}},
        {"UTF-8", {}, {0x41, 0xC3, 0xE4, 0xFF}},
    };
    for (const auto& page : pages) {
        if (NameEncoding() != page.encoding) continue;
        for (const unsigned char byte : page.leads) EXPECT_TRUE(platform::IsLeadByte(byte)) << int(byte);
        for (const unsigned char byte : page.others) EXPECT_FALSE(platform::IsLeadByte(byte)) << int(byte);
    }
}

// The code page's order of characters is not one the writer of a range sees.
TEST(NameCharactersTest, RangesWithAMultibyteEndAreRefusedWithTheReason) {
    PatternMatcher matcher;
    for (const char* pattern : {"[一-龥]", "[a-中]", "x[中-]y[^文-z]z"}) {
        EXPECT_FALSE(matcher.Compile(pattern)) << pattern;
        EXPECT_NE(matcher.Refusal().find("范围"), std::string::npos) << pattern;
    }
    // The class refused, no more and no less.
    EXPECT_EQ(matcher.Refusal().find("“[^文-z]”"), 9u) << matcher.Refusal();
    for (const char* pattern : {"[-中]", "[中-]", "[\\-中]", "[a-z中]"}) {
        EXPECT_TRUE(matcher.Compile(pattern)) << pattern << ": " << matcher.Refusal();
        EXPECT_EQ(matcher.Refusal(), "");
    }
    for (const char* broken : {"a(", "[中", "[a", "(?#中"}) {
        EXPECT_FALSE(matcher.Compile(broken)) << broken;
        EXPECT_EQ(matcher.Refusal(), "");
    }
}

}  // namespace
