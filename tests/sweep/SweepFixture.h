#pragma once
// A sweep job over a fresh temporary tree, with the clock and the pauses in
// the test's hands: "now" is a number the test sets, and the pauses are
// recorded instead of slept.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "config/SweepSettings.h"
#include "platform/Path.h"
#include "support/TempDir.h"
#include "sweep/StatusChannel.h"
#include "sweep/SweepFilters.h"
#include "sweep/SweepJob.h"

// The pauses a run asked for. A test may hold the worker inside the next
// pause until it lets it go.
class PauseLog {
public:
    void Sleep(int millis) {
        std::unique_lock hold(mutex);
        pauses.push_back(millis);
        changed.notify_all();
        changed.wait(hold, [this] { return !holdNext; });
    }
    std::vector<int> Pauses() {
        std::lock_guard hold(mutex);
        return pauses;
    }
    void HoldNext() {
        std::lock_guard hold(mutex);
        holdNext = true;
    }
    // Waits until the worker sits in a held pause.
    void WaitHeld() {
        std::unique_lock hold(mutex);
        changed.wait(hold, [this] { return holdNext && !pauses.empty(); });
    }
    void Release() {
        std::lock_guard hold(mutex);
        holdNext = false;
        changed.notify_all();
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<int> pauses;
    bool holdNext = false;
};

namespace sweeptest {

namespace fs = std::filesystem;

using Texts = std::vector<std::string>;

inline constexpr int64_t Year2024 = 1704067200;  // 2024-01-01 00:00 UTC
inline constexpr int RunLimitMillis = 10000;
// Between a directory and a name in the sweep's texts.
inline const std::string Sep(1, platform::PathSeparator);

inline void SetLastWrite(const fs::path& file, int64_t seconds) {
    using namespace std::chrono;
    fs::last_write_time(file, file_clock::from_sys(sys_seconds{std::chrono::seconds{seconds}}));
}

inline std::string Summary(bool completed, int found, int deleted) {
    return std::string(completed ? "运行完成" : "运行已停止") + "! 共搜索到" + std::to_string(found) +
           "个文件，删除了" + std::to_string(deleted) + "个文件";
}

inline Texts TextsOf(const std::vector<StatusRecord>& records) {
    Texts texts;
    for (const StatusRecord& record : records) texts.push_back(record.text);
    return texts;
}

}  // namespace sweeptest

// A job that lets a test act between listing a subdirectory and opening it,
// and make every call look as if it blocked.
class HookedJob : public SweepJob {
public:
    using SweepJob::SweepJob;
    using SweepJob::WaitingWorkers;
    std::function<void(const std::string& path)> onSubdirectory;
    // Set: each worker's clock moves 10 ms between two readings while it
    // spends no time on a processor, so the walk adds workers as it can,
    // unless its calls are made not to travel.
    std::atomic<bool> callsBlock{false};
    std::atomic<bool> callsTravel{true};

protected:
    void SubdirectoryListed(const std::string& path) override {
        if (onSubdirectory) onSubdirectory(path);
    }
    WorkerTimes Times() const override {
        if (!callsBlock) return SweepJob::Times();
        thread_local int64_t wall = 0;
        return {wall += 10'000'000, 0};
    }
    bool CallsTravel(const platform::Directory& root) const override {
        return callsBlock ? callsTravel.load() : SweepJob::CallsTravel(root);
    }
};

template <class Job = SweepJob>
class BasicSweepFixture : public ::testing::Test {
protected:
    BasicSweepFixture() {
        settings.filepath = tree.Path().string();
        settings.speed = 3;
    }

    // Runs one sweep to its end; the records, or the texts, it posted in order.
    std::vector<StatusRecord> SweepRecords() {
        job.Start();
        return FinishedRecords();
    }
    sweeptest::Texts Sweep() { return sweeptest::TextsOf(SweepRecords()); }
    // Waits for the run started to end; the records it posted, in order.
    std::vector<StatusRecord> FinishedRecords() {
        EXPECT_TRUE(job.WaitDone(sweeptest::RunLimitMillis));
        EXPECT_FALSE(job.IsRunning());
        return DrainRecords();
    }
    std::vector<StatusRecord> DrainRecords() {
        std::vector<StatusRecord> records;
        for (StatusRecord record = channel.Take(); record.kind != StatusKind::None; record = channel.Take())
            records.push_back(record);
        return records;
    }
    sweeptest::Texts Drain() { return sweeptest::TextsOf(DrainRecords()); }
    bool Exists(const std::string& name) const {
        return sweeptest::fs::exists(sweeptest::fs::symlink_status(tree / name));
    }
    std::string Root() const { return tree.Path().string(); }

    TempDir tree;
    SweepSettings settings;
    StatusChannel channel;
    std::atomic<bool> silent{false};
    int64_t now = sweeptest::Year2024;
    std::shared_ptr<PauseLog> pauses = std::make_shared<PauseLog>();
    Job job{settings, channel, silent, [this] { return now; },
            [log = pauses](int millis) { log->Sleep(millis); }};
};

using SweepFixture = BasicSweepFixture<>;
using HookedSweepFixture = BasicSweepFixture<HookedJob>;
