#include "ExtLib/StringEx.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

size_t Estimate(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const size_t length = StringEx::EstimateLength(format, args);
    va_end(args);
    return length;
}

std::vector<std::string> Pieces(const std::string& text, const char* delimiters) {
    std::vector<std::string> out;
    for (const StringEx& piece : StringEx(text).Split(delimiters)) out.push_back(piece.Str());
    return out;
}

TEST(StringExEstimate, CountsOrdinaryBytesAndConversions) {
    EXPECT_EQ(Estimate("filepath=%s\r\n", "0123456789"), 21u);
    EXPECT_EQ(Estimate("speed=%d\r\n", -1), 40u);
    EXPECT_EQ(Estimate("%5s", "ab"), 5u);
    EXPECT_EQ(Estimate("%.1s", "abc"), 1u);
    EXPECT_EQ(Estimate("%s", ""), 1u);
    EXPECT_EQ(Estimate("100%%"), 4u);
    EXPECT_EQ(Estimate("%#x", 255), 34u);
    EXPECT_EQ(Estimate("%*s|%s", 6, "ab", "xyz"), 6u + 1u + 3u);
    EXPECT_EQ(Estimate("%c%s", 'a', "xyz"), 2u + 3u);  // the character's argument is consumed
    EXPECT_EQ(Estimate("%20.20d", 1), 40u);
    // An unfinished conversion ends the count.
    EXPECT_EQ(Estimate("abc%"), 3u);
    EXPECT_EQ(Estimate("abc%-08.3"), 3u);
}

TEST(StringExFormat, ProducesThePrintfResult) {
    StringEx s;
    s.Format("filepath=%s\r\n", "/var/log/");
    EXPECT_EQ(s.Str(), "filepath=/var/log/\r\n");
    s.Format("%s! 共搜索到%d个文件，删除了%d个文件", "运行完成", 25, 12);
    EXPECT_EQ(s.Str(), "运行完成! 共搜索到25个文件，删除了12个文件");
    s.Format("speed=%d\r\n", -2147483647 - 1);
    EXPECT_EQ(s.Str(), "speed=-2147483648\r\n");
    // Two length letters: the text after the number still comes from its own argument.
    s.Format("%llu个文件，%s", 12345678901234ULL, "删除了");
    EXPECT_EQ(s.Str(), "12345678901234个文件，删除了");
    s.Format("ab%cde", 0);
    EXPECT_EQ(s.Str(), "ab");  // cut at the first zero byte
}

TEST(StringExFormat, GrowsWhereTheEstimateFallsShort) {
    StringEx s;
    s.Format("%f", 1e300);
    EXPECT_EQ(s.GetLength(), 301u + 7u);
    s.Format("%E|%s", 12345.678, "after");
    EXPECT_EQ(s.Str(), "1.234568E+04|after");
    s.Format("%.60f", 1.0);
    EXPECT_EQ(s.GetLength(), 62u);
}

TEST(StringExSplit, CutsAtEveryDelimiter) {
    using V = std::vector<std::string>;
    const std::string part(149, 'x');
    EXPECT_EQ(Pieces("a,b", ","), (V{"a", "b"}));
    EXPECT_EQ(Pieces(",a", ","), (V{"", "a"}));
    EXPECT_EQ(Pieces("a,,b", ","), (V{"a", "", "b"}));
    EXPECT_EQ(Pieces("a,", ","), (V{"a"}));
    EXPECT_EQ(Pieces("", ","), V{});
    EXPECT_EQ(Pieces(",", ","), (V{""}));
    EXPECT_EQ(Pieces("a;b,c", ",;"), (V{"a", "b", "c"}));
    EXPECT_EQ(Pieces("a,b", ",,"), (V{"a", "b"}));
    EXPECT_EQ(Pieces("访问\nvorn.example.org", "\n"), (V{"访问", "vorn.example.org"}));
    EXPECT_EQ(Pieces(part + "," + part + ",", ","), (V{part, part}));  // a long text like a short one
}

TEST(StringExTrim, RemovesOnlyTheGivenCharacter) {
    StringEx s("  \t/auto  ");
    s.TrimLeft(' ');
    s.TrimRight(' ');
    EXPECT_EQ(s.Str(), "\t/auto");
    StringEx spaces("    ");
    spaces.TrimRight(' ');
    EXPECT_EQ(spaces.GetLength(), 0u);
    StringEx left("xxa");
    left.TrimLeft('x');
    EXPECT_EQ(left.Str(), "a");
}

TEST(StringExMakeLower, ChangesOnlyAsciiCapitals) {
    StringEx s("/AUTO Ä 目录 Zz");
    s.MakeLower();
    EXPECT_EQ(s.Str(), "/auto Ä 目录 zz");
}

}  // namespace
