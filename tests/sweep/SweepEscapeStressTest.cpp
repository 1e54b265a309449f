// A sweep at full speed while another thread keeps swapping directories of
// the tree (and a parent of the one being swept) for links to an outside
// directory full of files that match the pattern, and back. Whatever the
// timing, nothing outside the root may be deleted. POSIX: links and rename.

#include "sweep/SweepJob.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "SweepFixture.h"

namespace {

using namespace sweeptest;

constexpr int Canaries = 200;
constexpr int Rounds = 20;
constexpr int TopDirs = 4;
constexpr int SubDirs = 4;
constexpr int FilesPerDir = 4;

std::string CanaryName(int i) { return (i % 2 ? "deep/c" : "c") + std::to_string(i) + ".log"; }

// What may be swapped: the directory that holds the rest, each directory
// below it, and each directory below those.
std::vector<std::string> SwappablePaths() {
    std::vector<std::string> paths = {"top"};
    for (int d = 0; d < TopDirs; ++d) {
        const std::string dir = "top/d" + std::to_string(d);
        paths.push_back(dir);
        for (int s = 0; s < SubDirs; ++s) paths.push_back(dir + "/s" + std::to_string(s));
    }
    return paths;
}

// Swaps one directory for a link to `outside` and back, again and again,
// until told to stop. Every step may fail when the sweep has just removed
// the directory: the next swap goes on regardless.
class Swapper {
public:
    Swapper(const fs::path& root, const fs::path& outside) : root(root), outside(outside) {}

    void Start() {
        stop = false;
        thread = std::thread([this] { Loop(); });
    }
    // Stops and puts every swapped directory back.
    void Finish() {
        stop = true;
        thread.join();
    }
    int Swaps() const { return swaps; }

private:
    void Loop() {
        std::mt19937 random(20240101);
        const std::vector<std::string> paths = SwappablePaths();
        while (!stop) SwapOnce(root / paths[random() % paths.size()]);
    }
    void SwapOnce(const fs::path& dir) {
        const std::string away = dir.string() + ".away";
        if (std::rename(dir.c_str(), away.c_str()) != 0) return;
        if (symlink(outside.c_str(), dir.c_str()) == 0) ++swaps;
        std::this_thread::yield();
        unlink(dir.c_str());
        std::rename(away.c_str(), dir.c_str());
    }

    const fs::path root;
    const fs::path outside;
    std::atomic<bool> stop{false};
    std::thread thread;
    int swaps = 0;  // read after join
};

// Parents first, each file written once: the tree is rebuilt every round.
int Populate(const fs::path& root) {
    int files = 0;
    for (const std::string& dir : SwappablePaths()) {
        fs::create_directory(root / dir);
        for (int f = 0; f < FilesPerDir; ++f, ++files)
            std::ofstream(root / dir / ("f" + std::to_string(f) + ".log")) << "x";
    }
    return files;
}

int CountMatchingFiles(const fs::path& root) {
    int count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        count += entry.is_regular_file() && entry.path().extension() == ".log";
    return count;
}

TEST_F(SweepFixture, StressDirectoriesSwappedForLinksMidSweepLoseNoCanary) {
    TempDir outside;
    for (int i = 0; i < Canaries; ++i) outside.Write(CanaryName(i), "keep");
    settings.filename = "*.log";
    settings.speed = 3;
    settings.subdir = true;
    settings.dirtree = true;
    Swapper swapper(tree.Path(), outside.Path());

    int created = 0;
    int deleted = 0;
    for (int round = 0; round < Rounds; ++round) {
        fs::remove_all(tree / "top");
        created += Populate(tree.Path());
        const int before = CountMatchingFiles(tree.Path());
        swapper.Start();
        Sweep();
        swapper.Finish();
        deleted += before - CountMatchingFiles(tree.Path());
    }

    EXPECT_GT(swapper.Swaps(), 0);
    EXPECT_GT(deleted, 0) << "of " << created;
    int kept = 0;
    for (int i = 0; i < Canaries; ++i) kept += TempDir::Read(outside / CanaryName(i)) == "keep";
    EXPECT_EQ(kept, Canaries);
}

}  // namespace
