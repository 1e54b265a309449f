#include "sweep/SweepJob.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "SweepFixture.h"

namespace {

using namespace sweeptest;

size_t CountStartingWith(const Texts& texts, const std::string& prefix) {
    return std::count_if(texts.begin(), texts.end(),
                         [&](const std::string& t) { return t.rfind(prefix, 0) == 0; });
}

// 25 matching files and 99 empty subdirectories: deletions 1, 10 and 20
// report and pause. Each directory pauses on its way out by the count of
// directories entered so far: those entered 10th, 20th ... 90th once, the
// 100th twice, and the root, which ends with the count at 100 too, twice.
TEST_F(SweepFixture, DeletionCadenceAndDirectoryPausesFollowTheSpeed) {
    const struct {
        int speed;
        int pause;
    } speeds[] = {{0, 500}, {1, 200}, {2, 100}, {3, 0}, {7, 200}};
    settings.filename = "*.log";
    for (const auto& speed : speeds) {
        SCOPED_TRACE(speed.speed);
        for (int i = 0; i < 25; ++i) tree.Write(std::to_string(i) + ".log", "x");
        for (int i = 0; i < 99; ++i) fs::create_directories(tree / ("d" + std::to_string(i)));
        settings.speed = speed.speed;
        const size_t before = pauses->Pauses().size();
        const Texts texts = Sweep();
        EXPECT_EQ(CountStartingWith(texts, "删除"), 3u);
        EXPECT_EQ(CountStartingWith(texts, "搜索目录 "), 100u);
        EXPECT_EQ(texts.back(), Summary(true, 25, 25));
        const std::vector<int> all = pauses->Pauses();
        const std::vector<int> made(all.begin() + before, all.end());
        EXPECT_EQ(made, std::vector<int>(speed.pause ? 3 + 9 + 2 + 2 : 0, speed.pause));
        EXPECT_TRUE(fs::is_empty(tree.Path()));
    }
}

class StoppedSweep : public SweepFixture {
protected:
    // Ten nested directories, the deepest holding five matching files.
    void SetUp() override {
        for (int i = 2; i <= 10; ++i) deepest += "/d" + std::to_string(i);
        for (int i = 0; i < 5; ++i) tree.Write(deepest.substr(1) + "/" + std::to_string(i) + ".log", "x");
        settings.filename = "*.log";
        settings.speed = 0;
        pauses->HoldNext();
        job.Start();
        pauses->WaitHeld();  // inside the pause after the first deletion
    }
    size_t FilesLeft() const {
        const fs::directory_iterator files(tree.Path().string() + deepest);
        return std::distance(begin(files), end(files));
    }

    std::string deepest;
};

// Every level still makes its directory pause on the way out, and since the
// count of directories no longer moves, each of the ten stands at ten.
TEST_F(StoppedSweep, StopEndsTheSearchAtTheNextEntryWithTheStoppedSummary) {
    std::thread stopper([this] { job.Stop(RunLimitMillis); });
    while (job.IsRunning()) std::this_thread::yield();
    pauses->Release();
    stopper.join();
    EXPECT_TRUE(job.WaitDone(0));
    EXPECT_EQ(Drain().back(), Summary(false, 1, 1));
    EXPECT_EQ(job.LastRunEnd(), SweepJob::RunEnd::Stopped);
    EXPECT_EQ(pauses->Pauses(), std::vector<int>(11, 500));
    EXPECT_EQ(FilesLeft(), 4u);
}

TEST_F(StoppedSweep, SuspendedSweepMakesNoProgressAndResumesWhereItStopped) {
    job.Suspend();
    pauses->Release();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(FilesLeft(), 4u);
    EXPECT_EQ(pauses->Pauses().size(), 1u);
    EXPECT_TRUE(job.IsRunning());
    job.Resume();
    ASSERT_TRUE(job.WaitDone(RunLimitMillis));
    EXPECT_EQ(Drain().back(), Summary(true, 5, 5));
    EXPECT_TRUE(fs::is_empty(tree.Path()));
}

TEST_F(StoppedSweep, StopWhileSuspendedWaitsItsFullTimeAndEndsWithoutSummary) {
    job.Suspend();
    pauses->Release();
    const auto start = std::chrono::steady_clock::now();
    job.Stop(300);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(300));
    EXPECT_LT(waited, std::chrono::milliseconds(3000));
    EXPECT_FALSE(job.IsRunning());
    EXPECT_FALSE(job.WaitDone(100));
    const Texts texts = Drain();
    EXPECT_EQ(CountStartingWith(texts, "运行"), 0u);
    EXPECT_EQ(FilesLeft(), 4u);
}

}  // namespace
