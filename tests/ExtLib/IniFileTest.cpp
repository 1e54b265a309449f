#include "ExtLib/IniFile.h"

#include <gtest/gtest.h>

#include <string>

#include "support/TempDir.h"

namespace {

struct Loaded {
    bool ok;
    std::string printed;
};

class IniFileTest : public ::testing::Test {
protected:
    Loaded Load(const std::string& bytes) {
        const auto file = dir.Write("test.ini", bytes);
        path = file.string();
        testing::internal::CaptureStdout();
        const bool ok = ini.Load(path.c_str());
        return {ok, testing::internal::GetCapturedStdout()};
    }
    std::string Get(const char* section, const char* key) const { return ini.GetString(section, key); }

    TempDir dir;
    IniFile ini;
    std::string path;
};

TEST_F(IniFileTest, LooksUpExactSectionAndKey) {
    ASSERT_TRUE(Load("[a]\r\nk=v\r\n").ok);
    EXPECT_EQ(Get("a", "k"), "v");
    EXPECT_EQ(Get("A", "k"), "");
    EXPECT_EQ(Get("a", "K"), "");
    EXPECT_EQ(Get("b", "k"), "");
}

TEST_F(IniFileTest, FailsWithoutASectionAndPrintsNothing) {
    for (const char* bytes : {"", ";only a comment\r\n", "k=v\r\n", "[a]\nk=v\n", "\r\n[a]\r\n"}) {
        IniFile fresh;
        const auto file = dir.Write("none.ini", bytes);
        testing::internal::CaptureStdout();
        EXPECT_FALSE(fresh.Load(file.string().c_str())) << bytes;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << bytes;
    }
    IniFile absent;
    EXPECT_FALSE(absent.Load((dir / "absent.ini").string().c_str()));
}

TEST_F(IniFileTest, CrOnlyLinesReadLikeCrLf) {
    ASSERT_TRUE(Load("[a]\rk=v\r;c\rj=w").ok);
    EXPECT_EQ(Get("a", "k"), "v");
    EXPECT_EQ(Get("a", "j"), "w");
}

TEST_F(IniFileTest, BlankLineEndsTheFile) {
    ASSERT_TRUE(Load("[a]\r\n\r\nk=v\r\n").ok);
    EXPECT_EQ(Get("a", "k"), "");
}

TEST_F(IniFileTest, UnsupportedLineFailsTheWholeLoad) {
    for (const std::string bad : {"   ", "=v", "[abc", "[a]  ", "\xEF\xBB\xBF[a]"}) {
        IniFile fresh;
        const auto file = dir.Write("bad.ini", "[ok]\r\nk=v\r\n" + bad + "\r\n");
        testing::internal::CaptureStdout();
        EXPECT_FALSE(fresh.Load(file.string().c_str())) << bad;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "profile " + file.string() + " format not support\n");
        EXPECT_EQ(fresh.GetString("ok", "k"), "");
    }
}

TEST_F(IniFileTest, ByteOrderMarkMakesTheFirstLineUnsupported) {
    const auto loaded = Load("\xEF\xBB\xBF[vorn]\r\nk=v\r\n");
    EXPECT_FALSE(loaded.ok);
    EXPECT_EQ(loaded.printed, "profile " + path + " format not support\n");
}

TEST_F(IniFileTest, NothingIsTrimmed) {
    ASSERT_TRUE(Load("[a]\r\n k=v\r\nj = w\r\nx=a=b;c\r\n").ok);
    EXPECT_EQ(Get("a", " k"), "v");
    EXPECT_EQ(Get("a", "k"), "");
    EXPECT_EQ(Get("a", "j"), "");
    EXPECT_EQ(Get("a", "j "), " w");
    EXPECT_EQ(Get("a", "x"), "a=b;c");
}

TEST_F(IniFileTest, SectionLineMayHoldAnEqualsSign) {
    ASSERT_TRUE(Load("[a=b]\r\nk=v\r\n").ok);
    EXPECT_EQ(Get("a=b", "k"), "v");
}

TEST_F(IniFileTest, CutsLongNamesKeysAndValues) {
    const std::string name(40, 'n'), key(60, 'k'), value(300, 'v');
    ASSERT_TRUE(Load("[" + name + "]\r\n" + key + "=" + value + "\r\n").ok);
    EXPECT_EQ(Get(name.c_str(), key.substr(0, 50).c_str()), "");
    const std::string cutName = name.substr(0, 30);
    EXPECT_EQ(Get(cutName.c_str(), key.c_str()), "");
    EXPECT_EQ(Get(cutName.c_str(), key.substr(0, 50).c_str()), value.substr(0, 200));
}

TEST_F(IniFileTest, LongLineIsClassifiedInTwoPieces) {
    // 1024 bytes make one line, the remaining 476 another: both are entries.
    // (CR alone after the section line: a LF there would count as one of the 1024.)
    const std::string first = "k=" + std::string(1022, 'a');
    const std::string second = "j=" + std::string(474, 'b');
    ASSERT_TRUE(Load("[a]\r" + first + second + "\r\n").ok);
    EXPECT_EQ(Get("a", "k"), std::string(200, 'a'));
    EXPECT_EQ(Get("a", "j"), std::string(200, 'b'));
}

TEST_F(IniFileTest, FirstSectionAndFirstKeyWin) {
    ASSERT_TRUE(Load("[a]\r\nk=1\r\nk=9\r\n[a]\r\nk=2\r\nj=3\r\n").ok);
    EXPECT_EQ(Get("a", "k"), "1");
    EXPECT_EQ(Get("a", "j"), "");
}

TEST(IniFileClassify, KindsInOrderOfTheTests) {
    using K = IniFile::LineKind;
    EXPECT_EQ(IniFile::ClassifyLine(""), K::Ignored);
    EXPECT_EQ(IniFile::ClassifyLine(";[a]"), K::Ignored);
    EXPECT_EQ(IniFile::ClassifyLine("[]"), K::Section);
    EXPECT_EQ(IniFile::ClassifyLine("k="), K::Entry);
    EXPECT_EQ(IniFile::ClassifyLine("目录=值"), K::Entry);
    EXPECT_EQ(IniFile::ClassifyLine("["), K::Unsupported);
    EXPECT_EQ(IniFile::ClassifyLine("]"), K::Unsupported);
}

}  // namespace
