#include "ExtLib/IniFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TempDir.h"

namespace {

// Loads `bytes` from a file into `ini` (a fresh one: a file is loaded once);
// what the load printed.
std::string LoadPrinting(const TempDir& dir, IniFile& ini, const std::string& bytes, bool& ok) {
    const auto file = dir.Write("test.ini", bytes);
    testing::internal::CaptureStdout();
    ok = ini.Load(file.string().c_str());
    return testing::internal::GetCapturedStdout();
}

struct Lookup {
    std::string section, key, value;
};

// Each file is read as written: lines end at CR LF or CR alone, a blank line
// ends the file, nothing is trimmed, the first section and key of a name
// win, and names, keys and values are cut to their limits.
TEST(IniFile, ReadsEntriesAsWritten) {
    const std::string name(40, 'n'), key(60, 'k'), value(300, 'v');
    const std::string cutName = name.substr(0, 30), cutKey = key.substr(0, 50);
    const struct {
        const char* what;
        std::string bytes;
        std::vector<Lookup> lookups;
    } cases[] = {
        {"exact section and key", "[a]\r\nk=v\r\n", {{"a", "k", "v"}, {"A", "k", ""}, {"a", "K", ""}, {"b", "k", ""}}},
        {"CR alone", "[a]\rk=v\r;c\rj=w", {{"a", "k", "v"}, {"a", "j", "w"}}},
        {"blank line", "[a]\r\n\r\nk=v\r\n", {{"a", "k", ""}}},
        {"nothing trimmed",
         "[a]\r\n k=v\r\nj = w\r\nx=a=b;c\r\n",
         {{"a", " k", "v"}, {"a", "k", ""}, {"a", "j", ""}, {"a", "j ", " w"}, {"a", "x", "a=b;c"}}},
        {"equals sign in a section", "[a=b]\r\nk=v\r\n", {{"a=b", "k", "v"}}},
        {"long names, keys and values",
         "[" + name + "]\r\n" + key + "=" + value + "\r\n",
         {{name, cutKey, ""}, {cutName, key, ""}, {cutName, cutKey, value.substr(0, 200)}}},
        // 1024 bytes make one line, the remaining 476 another: both are entries.
        // (CR alone after the section line: a LF there would count as one of the 1024.)
        {"a line longer than 1024 bytes",
         "[a]\r" + ("k=" + std::string(1022, 'a')) + ("j=" + std::string(474, 'b')) + "\r\n",
         {{"a", "k", std::string(200, 'a')}, {"a", "j", std::string(200, 'b')}}},
        {"first section and key win", "[a]\r\nk=1\r\nk=9\r\n[a]\r\nk=2\r\nj=3\r\n", {{"a", "k", "1"}, {"a", "j", ""}}},
    };
    TempDir dir;
    for (const auto& c : cases) {
        IniFile ini;
        bool ok = false;
        LoadPrinting(dir, ini, c.bytes, ok);
        ASSERT_TRUE(ok) << c.what;
        for (const Lookup& l : c.lookups)
            EXPECT_EQ(ini.GetString(l.section.c_str(), l.key.c_str()), l.value) << c.what << ": " << l.key;
    }
}

// A file without a section fails silently; one with a line of no known kind
// (a byte order mark makes the first line one) fails whole, and says so.
TEST(IniFile, FailsWithoutASectionOrOnAnUnsupportedLine) {
    const struct {
        std::string bytes;
        bool complains;
    } cases[] = {
        {"", false},
        {";only a comment\r\n", false},
        {"k=v\r\n", false},
        {"[a]\nk=v\n", false},
        {"\r\n[a]\r\n", false},
        {"[ok]\r\nk=v\r\n   \r\n", true},
        {"[ok]\r\nk=v\r\n=v\r\n", true},
        {"[ok]\r\nk=v\r\n[abc\r\n", true},
        {"[ok]\r\nk=v\r\n[a]  \r\n", true},
        {"[ok]\r\nk=v\r\n\xEF\xBB\xBF[a]\r\n", true},
        {"\xEF\xBB\xBF[vorn]\r\nk=v\r\n", true},
    };
    TempDir dir;
    const std::string path = (dir / "test.ini").string();
    for (const auto& c : cases) {
        IniFile ini;
        bool ok = true;
        const std::string printed = LoadPrinting(dir, ini, c.bytes, ok);
        EXPECT_FALSE(ok) << c.bytes;
        EXPECT_EQ(printed, c.complains ? "profile " + path + " format not support\n" : "") << c.bytes;
        EXPECT_EQ(ini.GetString("ok", "k"), "") << c.bytes;
    }
    IniFile absent;
    EXPECT_FALSE(absent.Load((dir / "absent.ini").string().c_str()));
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
