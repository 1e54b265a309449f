// The decisions behind the Windows listing, on values Wine cannot produce
// (junctions, volume mount points and their tags); a real Windows shows them
// in its listing the same way. And which Windows directory texts name one
// place whatever the program's current drive and directory are.

#include "platform/WinEntryRules.h"

#include <gtest/gtest.h>

#include "platform/Path.h"

namespace {

using platform::WinEntryKind;

constexpr uint32_t ReadOnly = 0x1, Hidden = 0x2, Directory = 0x10, Archive = 0x20, Reparse = 0x400;
constexpr uint32_t MountPoint = 0xA0000003;  // junctions and volume mount points
constexpr uint32_t Symlink = 0xA000000C;
constexpr uint32_t Dedup = 0x80000013;       // data deduplication: the file itself
constexpr uint32_t CloudFiles = 0x9000001A;  // a placeholder, not a name surrogate

TEST(WinEntryRules, ReparseDirectoriesAreNeverEnteredAndFileLinksAreLinks) {
    const struct {
        uint32_t attributes;
        uint32_t tag;
        WinEntryKind kind;
    } cases[] = {
        {Directory, 0, WinEntryKind::Directory},
        {Directory | Hidden | ReadOnly, 0, WinEntryKind::Directory},
        {Directory | Reparse, MountPoint, WinEntryKind::Skipped},
        {Directory | Reparse, Symlink, WinEntryKind::Skipped},
        {Directory | Reparse, CloudFiles, WinEntryKind::Skipped},
        {Directory | Reparse, 0, WinEntryKind::Skipped},  // a Unix link, as Wine lists it
        {Archive, 0, WinEntryKind::File},
        {Archive | ReadOnly | Hidden, 0, WinEntryKind::File},
        {Archive | Reparse, Symlink, WinEntryKind::Link},
        {Archive | Reparse, MountPoint, WinEntryKind::Link},
        {Archive | Reparse, Dedup, WinEntryKind::File},
        {Archive | Reparse, 0, WinEntryKind::File},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::ClassifyWinEntry(c.attributes, c.tag), c.kind) << std::hex << c.attributes << " " << c.tag;
}

TEST(WinEntryRules, FileTimeBecomesUnixSecondsTruncatedTowardZero) {
    constexpr int64_t At1970 = 116444736000000000;
    constexpr int64_t Second = 10000000;
    const struct {
        int64_t fileTime;
        int64_t seconds;
    } cases[] = {
        {At1970, 0},
        {At1970 + Second - 1, 0},
        {At1970 + 1704067200 * Second, 1704067200},        // 2024-01-01
        {At1970 + 4102444800 * Second + 5, 4102444800},    // 2100-01-01: beyond 32 bits
        {At1970 - 1, 0},                                   // toward zero, not down
        {At1970 - Second, -1},
        {0, -11644473600},                                 // 1601-01-01
    };
    for (const auto& c : cases) EXPECT_EQ(platform::UnixSecondsFromFileTime(c.fileTime), c.seconds) << c.fileTime;
}

TEST(PathRule, OnlyADrivesRootOrAShareIsAbsolute) {
    const struct {
        const char* path;
        bool absolute;
    } cases[] = {
        {"D:\\", true},
        {"D:\\logs", true},
        {"d:/logs", true},
        {"\\\\server\\share", true},
        {"\\\\server\\share\\logs", true},
        {"C:", false},
        {"D:logs", false},
        {"\\logs", false},
        {"\\\\server", false},
        {"\\\\server\\", false},
        {"ab:\\logs", false},
        {"1:\\logs", false},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::IsAbsoluteDirectory(c.path), c.absolute) << c.path;
}

}  // namespace
