// What only Windows lists: attributes set with the system's own call, names
// the ANSI code page cannot carry, read-only files.

#include "platform/Directory.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "DirectoryFixture.h"
#include "support/WinFiles.h"

namespace {

using namespace dirtest;
using platform::AttributeHidden;
using platform::AttributeReadOnly;
using platform::AttributeSystem;

TEST_F(EntryInfoTest, AttributesComeWithTheListingAndOnlyAsked) {
    const struct {
        const char* name;
        DWORD set;
        uint32_t seen;
    } files[] = {
        {"plain.txt", FILE_ATTRIBUTE_NORMAL, 0},
        {"ro.txt", FILE_ATTRIBUTE_READONLY, AttributeReadOnly},
        {"hidden.txt", FILE_ATTRIBUTE_HIDDEN, AttributeHidden},
        {"system.txt", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE, AttributeSystem},
        {"all.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, platform::AttributesUnknown},
    };
    for (const auto& f : files) {
        const fs::path path = tree.Write(std::string("root/") + f.name, "x");
        ASSERT_TRUE(SetAttributes(path, f.set)) << f.name;
    }
    for (const auto& f : files) {
        for (const uint32_t asked : {0u, AttributeReadOnly, AttributeHidden | AttributeSystem, platform::AttributesUnknown})
            EXPECT_EQ(InfoOf(f.name, asked).attributes, f.seen & asked) << f.name << " asked " << asked;
    }
}

// Names are UTF-8 inside, whatever the code page; the deletion goes through
// the real (wide) name.
TEST_F(DirectoryTest, NameOutsideTheCodePageIsListedAndDeleted) {
    const std::string name = "ก-日志-😀.log";
    tree.Write("root/" + name, "x");
    Directory root;
    ASSERT_EQ(root.Open(Root().c_str()), OpenResult::Listed);
    DirEntry entry;
    ASSERT_TRUE(FindEntry(root, name, entry));
    EXPECT_EQ(root.DeleteEntry(entry), RemoveResult::Removed);
    EXPECT_FALSE(fs::exists(tree / ("root/" + name)));
}

TEST_F(DirectoryTest, ReadOnlyFileIsDeletedAndAFailedDeletionKeepsItsAttributes) {
    ASSERT_TRUE(SetAttributes(tree / "root/plain.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    const fs::path held = tree.Write("root/held.txt", "x");
    ASSERT_TRUE(SetAttributes(held, FILE_ATTRIBUTE_READONLY));
    // Open without delete sharing: nobody can delete it while this is open.
    const HANDLE holder = CreateFileW(held.wstring().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    Directory root;
    ASSERT_EQ(root.Open(Root().c_str()), OpenResult::Listed);
    DirEntry entry;
    ASSERT_TRUE(FindEntry(root, "held.txt", entry));
    EXPECT_EQ(root.DeleteEntry(entry), RemoveResult::InUse);
    CloseHandle(holder);
    EXPECT_EQ(AttributesOf(held) & FILE_ATTRIBUTE_READONLY, DWORD{FILE_ATTRIBUTE_READONLY});

    ASSERT_EQ(root.Open(Root().c_str()), OpenResult::Listed);
    ASSERT_TRUE(FindEntry(root, "plain.txt", entry));
    EXPECT_EQ(root.DeleteEntry(entry), RemoveResult::Removed);
    EXPECT_FALSE(fs::exists(tree / "root/plain.txt"));
}

}  // namespace
