#include "ExtLib/TextFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace {

std::vector<std::string> LinesOf(const std::filesystem::path& file, int calls) {
    TextFile f;
    EXPECT_TRUE(f.Open(file.string().c_str(), TextFile::GenericRead, TextFile::OpenExisting));
    std::vector<std::string> lines;
    for (int i = 0; i < calls; ++i) lines.push_back(f.ReadLine());
    return lines;
}

TEST(TextFileReadLine, CrEndsALineAndLfIsDropped) {
    TempDir dir;
    using V = std::vector<std::string>;
    EXPECT_EQ(LinesOf(dir.Write("crlf", "ab\r\ncd"), 3), (V{"ab", "cd", ""}));
    EXPECT_EQ(LinesOf(dir.Write("lf", "ab\ncd"), 2), (V{"abcd", ""}));
    EXPECT_EQ(LinesOf(dir.Write("cr", "ab\rcd\r\rx"), 4), (V{"ab", "cd", "", "x"}));
    EXPECT_EQ(LinesOf(dir.Write("zero", std::string("ab\0cd\r", 6)), 1), (V{"ab"}));
}

TEST(TextFileReadLine, ConsumesAtMost1024BytesPerCall) {
    TempDir dir;
    const std::string run(1500, 'x');
    const auto lines = LinesOf(dir.Write("long", run), 3);
    EXPECT_EQ(lines[0].size(), 1024u);
    EXPECT_EQ(lines[1].size(), 476u);
    EXPECT_EQ(lines[2], "");
    // Line feeds count towards the limit although they are not kept.
    const auto withLf = LinesOf(dir.Write("lfs", std::string(1000, '\n') + std::string(100, 'y')), 2);
    EXPECT_EQ(withLf[0].size(), 24u);
    EXPECT_EQ(withLf[1].size(), 76u);
}

TEST(TextFileClose, TruncatesOnlyWhenOpenedForWriting) {
    TempDir dir;
    const auto file = dir.Write("vorn.ini", std::string(500, 'o'));
    {
        TextFile reader;
        ASSERT_TRUE(reader.Open(file.string().c_str(), TextFile::GenericRead, TextFile::OpenExisting));
        reader.ReadLine();
    }
    EXPECT_EQ(std::filesystem::file_size(file), 500u);

    TextFile writer;
    ASSERT_TRUE(writer.Open(file.string().c_str(), TextFile::GenericWrite, TextFile::OpenAlways));
    EXPECT_TRUE(writer.Write(std::string(146, 'n').data(), 146));
    writer.Close();
    EXPECT_EQ(TempDir::Read(file), std::string(146, 'n'));
    writer.Close();  // a second close does nothing
    EXPECT_EQ(std::filesystem::file_size(file), 146u);
}

TEST(TextFileOpen, DispositionsKeepTheirMeaning) {
    TempDir dir;
    TextFile missing;
    EXPECT_FALSE(missing.Open((dir / "absent").string().c_str(), TextFile::GenericRead, TextFile::OpenExisting));
    missing.Close();
    EXPECT_FALSE(missing.Write("x", 1));
    EXPECT_FALSE(missing.Write("", 0));  // not even nothing: the file is not there

    TextFile created;
    EXPECT_TRUE(created.Open((dir / "new").string().c_str(), TextFile::GenericWrite, TextFile::OpenAlways));
    EXPECT_TRUE(std::filesystem::exists(dir / "new"));

    dir.Write("existing", "keep");
    TextFile exclusive;
    EXPECT_FALSE(exclusive.Open((dir / "existing").string().c_str(), TextFile::GenericWrite, TextFile::CreateNew));
    EXPECT_EQ(TempDir::Read(dir / "existing"), "keep");
}

}  // namespace
