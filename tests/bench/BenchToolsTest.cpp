// The benchmark's floor and its share: the floor deletes what the default
// filters delete and nothing else, here and through the share; the share
// shows its backing folder as it is and makes every call wait.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

#include "support/ChildProcess.h"
#include "support/PosixFiles.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

constexpr int DelayUs = 20000;

// Mounts `backing` at `at` through the share for one test; `reason` tells why not.
class Share {
public:
    Share(const fs::path& backing, const fs::path& at) : at(at) {
        if (std::string(SLOW_SHARE).empty()) {
            reason = "built without libfuse3";
        } else if (geteuid() != 0 || access("/dev/fuse", R_OK | W_OK) != 0) {
            reason = "no /dev/fuse to mount with";
        } else {
            fs::create_directories(at);
            const ChildResult run = ChildProcess(SLOW_SHARE, {"--delay-us", std::to_string(DelayUs), backing.string(),
                                                              at.string()})
                                        .Wait();
            if (run.status != 0) reason = "cannot mount: " + run.err;
        }
    }
    ~Share() {
        if (reason.empty()) umount2(at.c_str(), MNT_DETACH);
    }
    Share(const Share&) = delete;
    Share& operator=(const Share&) = delete;

    std::string reason;

private:
    fs::path at;
};

struct FileCase {
    const char* name;
    const char* dosAttrib;  // nullptr: none stored
    bool kept;
};

// Only files named *.log whose stored value does not mark them as system
// files go, wherever they are in the tree; a value that cannot be decoded
// spares the file.
const FileCase Files[] = {
    {"plain.log", nullptr, false},        {"archive.log", "0x20", false},
    {"system.log", "0x4", true},          {"hidden-system.log", "0x26", true},
    {"garbled.log", "0xZZ", true},        {"notes.txt", nullptr, true},
    {"a/b/deep.log", nullptr, false},     {"a/b/deep-system.log", "0x4", true},
    {"folder.log/inside.txt", nullptr, true},
};

class FloorWalkTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const FileCase& c : Files) {
            const fs::path file = temp.Write("tree/" + std::string(c.name), "x");
            if (c.dosAttrib && !SetDosAttrib(file, c.dosAttrib)) GTEST_SKIP() << "no user attributes here";
        }
        temp.Write("outside/elsewhere.log", "x");
        fs::create_directory_symlink(temp / "outside", temp / "tree/linked");
    }

    // Runs the floor on the tree as seen at `root` and checks what is left.
    void WalkAndCheck(const fs::path& root) {
        const ChildResult run = ChildProcess(FLOOR_WALK, {root.string()}).Wait();
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, "3 deleted\n");
        for (const FileCase& c : Files) EXPECT_EQ(fs::exists(temp / "tree" / c.name), c.kept) << c.name;
        EXPECT_TRUE(fs::exists(temp / "outside/elsewhere.log")) << "followed a link";
    }

    TempDir temp;
};

TEST_F(FloorWalkTest, DeletesWhatTheDefaultFiltersDelete) { WalkAndCheck(temp / "tree"); }

TEST_F(FloorWalkTest, DeletesTheSameThroughTheShare) {
    const Share share(temp.Path(), temp / "mounted");
    if (!share.reason.empty()) GTEST_SKIP() << share.reason;
    WalkAndCheck(temp / "mounted/tree");
}

TEST(SlowShareTest, ShowsItsFolderAndWaitsInEveryCall) {
    TempDir temp;
    temp.Write("backing/old.txt", "old");
    const fs::path seen = temp / "mounted";
    const Share share(temp / "backing", seen);
    if (!share.reason.empty()) GTEST_SKIP() << share.reason;

    fs::create_directories(seen / "made/below");
    temp.Write("mounted/made/below/new.txt", "new");
    fs::rename(seen / "old.txt", seen / "made/renamed.txt");
    fs::create_symlink("renamed.txt", seen / "made/link");
    fs::permissions(seen / "made/renamed.txt", fs::perms::owner_read);
    EXPECT_EQ(TempDir::Read(temp / "backing/made/below/new.txt"), "new");
    EXPECT_EQ(TempDir::Read(temp / "backing/made/link"), "old");
    EXPECT_EQ(fs::status(temp / "backing/made/renamed.txt").permissions(), fs::perms::owner_read);
    EXPECT_FALSE(fs::exists(temp / "backing/old.txt"));

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(fs::remove_all(seen / "made"), 5u);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(fs::exists(temp / "backing/made"));
    // Five removals alone are five round trips, besides the lookups and the listings.
    EXPECT_GE(took, std::chrono::microseconds(5 * DelayUs));
}

}  // namespace
