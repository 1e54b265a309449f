#pragma once
// A small tree for the directory tests: root/plain.txt, root/sub, and a
// folder outside the root whose content must never change.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "platform/Directory.h"
#include "support/TempDir.h"

namespace dirtest {

namespace fs = std::filesystem;
using platform::Directory;
using platform::DirEntry;
using platform::EntryInfo;
using platform::EntryKind;
using platform::OpenResult;
using platform::RemoveResult;

struct Seen {
    EntryKind kind;
    bool link;
    bool operator==(const Seen&) const = default;
};

inline std::map<std::string, Seen> ListAll(Directory& dir) {
    std::map<std::string, Seen> seen;
    DirEntry entry;
    while (dir.Next(entry)) seen[entry.name] = {entry.kind, entry.link};
    return seen;
}

// Moves the listing of `dir` to the entry `name`.
inline bool FindEntry(Directory& dir, const std::string& name, DirEntry& entry) {
    while (dir.Next(entry))
        if (entry.name == name) return true;
    return false;
}

class DirectoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        tree.Write("root/plain.txt", "x");
        fs::create_directories(tree / "root/sub");
        fs::create_directories(tree / "outside");
        tree.Write("outside/target.txt", "keep");
    }
    std::string Root() const { return (tree / "root").string(); }

    TempDir tree;
};

class EntryInfoTest : public DirectoryTest {
protected:
    // The info of `name` in the root.
    EntryInfo InfoOf(const std::string& name, uint32_t asked = platform::AttributesUnknown) {
        Directory root;
        EXPECT_EQ(root.Open(Root().c_str()), OpenResult::Listed);
        DirEntry entry;
        EntryInfo info;
        EXPECT_TRUE(FindEntry(root, name, entry));
        EXPECT_TRUE(root.ReadInfo(entry, asked, true, info));
        return info;
    }
};

}  // namespace dirtest
