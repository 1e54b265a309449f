#include "platform/Directory.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>

#include "DirectoryFixture.h"
#include "platform/FileIo.h"

namespace {

using namespace dirtest;

TEST_F(DirectoryTest, ListsFilesAndRealDirectories) {
    Directory dir;
    ASSERT_EQ(dir.Open(Root().c_str()), OpenResult::Listed);
    const std::map<std::string, Seen> expected = {
        {"plain.txt", {EntryKind::File, false}}, {"sub", {EntryKind::Directory, false}}};
    EXPECT_EQ(ListAll(dir), expected);
}

TEST_F(DirectoryTest, RootThatIsMissingOrAFileIsUnreadable) {
    for (const char* name : {"absent", "root/plain.txt"}) {
        Directory dir;
        EXPECT_EQ(dir.Open((tree / name).string().c_str()), OpenResult::Unreadable) << name;
        DirEntry entry;
        EXPECT_FALSE(dir.Next(entry)) << name;
    }
}

TEST_F(DirectoryTest, DirectoryExistsOnlyForADirectory) {
    const struct {
        const char* name;
        bool directory;
    } cases[] = {{"root", true}, {"root/sub", true}, {"root/plain.txt", false}, {"absent", false}};
    for (const auto& c : cases)
        EXPECT_EQ(platform::DirectoryExists((tree / c.name).string().c_str()), c.directory) << c.name;
}

TEST_F(DirectoryTest, SubdirectoryOpensOnlyAsADirectoryThatIsThere) {
    Directory root;
    ASSERT_EQ(root.Open(Root().c_str()), OpenResult::Listed);
    const struct {
        const char* name;
        OpenResult result;
    } cases[] = {{"sub", OpenResult::Listed}, {"plain.txt", OpenResult::NotEntered}, {"gone", OpenResult::NotEntered}};
    for (const auto& c : cases) {
        Directory child;
        EXPECT_EQ(child.Open(root, c.name), c.result) << c.name;
    }
}

TEST_F(DirectoryTest, DeletesFilesAndRemovesOnlyEmptyDirectories) {
    tree.Write("root/full/inner.txt", "x");
    fs::create_directories(tree / "root/gone");
    Directory root;
    ASSERT_EQ(root.Open(Root().c_str()), OpenResult::Listed);
    DirEntry entry;
    ASSERT_TRUE(FindEntry(root, "plain.txt", entry));
    EXPECT_EQ(root.DeleteEntry(entry), RemoveResult::Removed);
    EXPECT_EQ(root.DeleteEntry(entry), RemoveResult::Gone);
    EXPECT_FALSE(fs::exists(tree / "root/plain.txt"));

    const struct {
        const char* name;
        RemoveResult result;
    } cases[] = {{"sub", RemoveResult::Removed}, {"full", RemoveResult::NotEmpty}, {"gone", RemoveResult::Gone}};
    for (const auto& c : cases) {
        Directory child;
        ASSERT_EQ(child.Open(root, c.name), OpenResult::Listed) << c.name;
        if (c.result == RemoveResult::Gone) fs::remove(tree / "root" / c.name);
        EXPECT_EQ(root.RemoveSubdirectory(child), c.result) << c.name;
    }
    EXPECT_TRUE(fs::exists(tree / "root/full/inner.txt"));
    EXPECT_FALSE(fs::exists(tree / "root/sub"));
}

TEST_F(EntryInfoTest, LastWriteBeyond2038) {
    const int64_t past2038 = 4102444800;  // 2100-01-01
    using namespace std::chrono;
    fs::last_write_time(tree / "root/plain.txt", file_clock::from_sys(sys_seconds{seconds{past2038}}));
    EXPECT_EQ(InfoOf("plain.txt", 0).lastWrite, past2038);
}

}  // namespace
