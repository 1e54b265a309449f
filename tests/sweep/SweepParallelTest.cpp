// Several workers at full speed: the same outcome as one, and the same
// control, whether the workers are many from the start or added while the
// calls block. The run is made to hand a directory over for sure: before its
// first subdirectory it waits until every helper waits for work, and after
// the first hand-over, at full speed, until a helper has met a subdirectory
// of the folder handed over.

#include "sweep/SweepJob.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "SweepFixture.h"

namespace {

using namespace sweeptest;

// The workers a run starts with, and whether its calls look as if they
// blocked, so that it adds more.
struct Crew {
    int workers;
    bool callsBlock;
};

void PrintTo(const Crew& crew, std::ostream* out) {
    *out << crew.workers << (crew.callsBlock ? " workers, growing" : " workers");
}

// What a run leaves and says, in an order that does not depend on the
// workers': the files and directories left, the directories searched, how
// many deletions were reported, the last text and what was left undone.
struct Outcome {
    std::set<std::string> left;
    std::multiset<std::string> searched;
    size_t deletionTexts = 0;
    std::string summary;
    SweepShortfalls shortfalls;
    bool operator==(const Outcome&) const = default;
};

// A job of its own over a tree of its own, whose subdirectory hook knows the
// threads it was called on.
class ParallelSweep {
public:
    explicit ParallelSweep(Crew crew)
        : workers(crew.workers), job(settings, channel, silent, [] { return Year2024; }, [](int) {}, crew.workers) {
        settings.filepath = tree.Path().string();
        settings.speed = 3;
        job.onSubdirectory = [this](const std::string& path) { Met(path); };
        job.callsBlock = crew.callsBlock;
    }

    Outcome Sweep() {
        job.Start();
        EXPECT_TRUE(job.WaitDone(RunLimitMillis));
        Outcome outcome;
        const std::string searching = "搜索目录 " + settings.filepath;
        for (StatusRecord r = channel.Take(); r.kind != StatusKind::None; r = channel.Take()) {
            if (r.text.rfind(searching, 0) == 0) outcome.searched.insert(r.text.substr(searching.size()));
            if (r.text.rfind("删除", 0) == 0) ++outcome.deletionTexts;
            outcome.summary = r.text;
        }
        for (const auto& entry : fs::recursive_directory_iterator(tree.Path()))
            outcome.left.insert(entry.path().string().substr(settings.filepath.size()));
        outcome.shortfalls = job.LastShortfalls();
        return outcome;
    }
    size_t Threads() {
        std::lock_guard hold(lock);
        return threads.size();
    }

    const int workers;
    TempDir tree;
    SweepSettings settings;
    StatusChannel channel;
    std::atomic<bool> silent{false};
    HookedJob job;
    // Called with the number of threads seen so far, the caller's included.
    std::function<void(const std::string& path, size_t threadsSeen)> onSubdirectory;

private:
    // The waits are bounded: a machine too busy to run the helpers fails the
    // test that needs them, never the run.
    void Met(const std::string& path) {
        std::unique_lock hold(lock);
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        const size_t calls = ++metCount;
        threads.insert(std::this_thread::get_id());
        seen.notify_all();
        if (calls == 1) {
            hold.unlock();
            while (job.WaitingWorkers() < workers - 1 && std::chrono::steady_clock::now() < limit)
                std::this_thread::yield();
            hold.lock();
        } else if (calls == HandedOverBefore() + 1 && settings.speed == 3) {
            seen.wait_until(hold, limit, [this] { return threads.size() > 1; });
        }
        if (onSubdirectory) onSubdirectory(path, threads.size());
    }

    // The subdirectory met before the first hand-over: a crew of several
    // hands the first one over to a helper that waits; a worker alone first
    // grows at the second, when its first period has been measured. None
    // where the crew neither has a helper nor grows.
    size_t HandedOverBefore() const {
        if (workers > 1) return 1;
        return job.callsBlock && job.callsTravel ? 2 : 0;
    }

    std::mutex lock;
    std::condition_variable seen;
    std::set<std::thread::id> threads;
    size_t metCount = 0;
};

// Files of every kind the filters tell apart, in directories spread wide and
// deep, with emptied, kept and empty directories.
void PlantTree(const TempDir& tree) {
    for (const std::string top : {"a", "b", "c", "d", "e", "f"}) {
        for (const std::string sub : {"1", "2", "3"}) {
            const std::string dir = top + "/" + sub + "/";
            for (const std::string file : {"x.log", "y.log", "z.txt", ".h.log", "deep/w.log", "deep/er/v.log"})
                tree.Write(dir + file, "x");
            fs::permissions(tree / (dir + "y.log"), fs::perms::owner_write, fs::perm_options::remove);
            SetLastWrite(tree / (dir + "x.log"), Year2024 - 3 * SweepFilters::SecondsPerDay);
            fs::create_directories(tree / (dir + "empty"));
        }
    }
    tree.Write("only.log", "x");
}

// One folder of 1500 files, whose names are asked ahead in several windows
// while the workers' calls block.
void PlantWideFolder(const TempDir& tree) {
    for (int f = 0; f < 1500; ++f) {
        const std::string name = std::to_string(f) + (f % 5 ? ".log" : ".txt");
        tree.Write(name, "x");
        if (f % 3 == 0) fs::permissions(tree / name, fs::perms::owner_write, fs::perm_options::remove);
    }
}

// Where the system adds no workers (Windows), growth cannot be forced.
class SweepParallel : public testing::TestWithParam<Crew> {
protected:
    void SetUp() override {
        const Crew crew = GetParam();
        if (crew.callsBlock && SweepJob::MostWorkers(crew.workers) == crew.workers)
            GTEST_SKIP() << "this system adds no workers";
    }
};

INSTANTIATE_TEST_SUITE_P(Crews, SweepParallel,
                         testing::Values(Crew{4, false}, Crew{16, false}, Crew{2, true}, Crew{1, true}));

// Calls that block on a local disk wait for the disk or for each other:
// workers are added only where the calls travel to another machine.
TEST_P(SweepParallel, WorkersGrowOnlyWhereCallsTravel) {
    if (!GetParam().callsBlock) GTEST_SKIP() << "calls never block here";
    for (const bool travel : {true, false}) {
        ParallelSweep sweep(GetParam());
        PlantTree(sweep.tree);
        sweep.settings.filename = "*.log";
        sweep.job.callsTravel = travel;
        sweep.Sweep();
        EXPECT_EQ(sweep.job.LastCounts().workers > GetParam().workers, travel);
    }
}

TEST_P(SweepParallel, SeveralWorkersLeaveAndSayWhatOneWorkerDoes) {
    const struct {
        const char* pattern;
        bool regex, subdir, dirtree, readonly, hidden;
        int days;
        bool listOnly;
        void (*plant)(const TempDir&) = PlantTree;
        bool nested = true;  // a subdirectory to hand over
        size_t left = 0;     // what the run leaves; 0: not checked
    } cases[] = {
        {"*.log", false, true, true, true, true, 0, false},  {"*.log", false, true, true, false, false, 2, false},
        {"^[vwx]", true, true, false, true, true, 0, false}, {"*.*", false, false, true, true, true, 0, false},
        {"*", false, true, true, true, true, 0, true},
        // The read-only files of a wide folder are spared all the same.
        {"*.log", false, true, true, false, true, 0, false, PlantWideFolder, false, 700},
    };
    for (const auto& c : cases) {
        Outcome outcomes[2];
        for (const Crew crew : {Crew{1, false}, GetParam()}) {
            ParallelSweep sweep(crew);
            c.plant(sweep.tree);
            SweepSettings& s = sweep.settings;
            s.filename = c.pattern;
            s.regex = c.regex;
            s.subdir = c.subdir;
            s.dirtree = c.dirtree;
            s.readonly = c.readonly;
            s.hidden = c.hidden;
            s.expiredays = c.days;
            sweep.job.ReportEntriesTo(nullptr, c.listOnly);
            const bool alone = crew.workers == 1 && !crew.callsBlock;
            outcomes[alone ? 0 : 1] = sweep.Sweep();
            if (!alone && c.subdir && c.nested) {
                EXPECT_GT(sweep.Threads(), 1u) << c.pattern;
            }
            if (crew.callsBlock && c.subdir && c.nested) {
                EXPECT_GT(sweep.job.LastCounts().workers, crew.workers) << c.pattern;
            }
        }
        if (c.left) {
            EXPECT_EQ(outcomes[1].left.size(), c.left) << c.pattern;
        }
        EXPECT_TRUE(outcomes[0] == outcomes[1]) << c.pattern << ": " << outcomes[0].summary << " / "
                                                << outcomes[1].summary;
    }
}

// Forty directories of ten matching files each.
void PlantWideTree(const TempDir& tree) {
    for (int d = 0; d < 40; ++d)
        for (int f = 0; f < 10; ++f) tree.Write("d" + std::to_string(d) + "/s/" + std::to_string(f) + ".log", "x");
}

size_t FilesLeft(const Outcome& outcome) {
    return std::count_if(outcome.left.begin(), outcome.left.end(), [](const std::string& p) { return p.ends_with(".log"); });
}

// Paused while several workers sweep, none goes further than the entry it
// is at; resumed, they all go on to the end.
TEST_P(SweepParallel, PauseHoldsEveryWorkerAndResumeReleasesThemAll) {
    ParallelSweep sweep(GetParam());
    PlantWideTree(sweep.tree);
    std::mutex lock;
    std::condition_variable paused;
    bool suspended = false;
    sweep.onSubdirectory = [&](const std::string&, size_t threadsSeen) {
        std::lock_guard hold(lock);
        if (threadsSeen < 2 || suspended) return;
        sweep.job.Suspend();
        suspended = true;
        paused.notify_all();
    };
    sweep.job.Start();
    {
        std::unique_lock hold(lock);
        ASSERT_TRUE(paused.wait_for(hold, std::chrono::seconds(10), [&] { return suspended; }));
    }
    EXPECT_FALSE(sweep.job.WaitDone(300));
    const size_t held = std::distance(fs::recursive_directory_iterator(sweep.tree.Path()), {});
    EXPECT_FALSE(sweep.job.WaitDone(300));
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(sweep.tree.Path()), {}), held);
    sweep.job.Resume();
    const Outcome outcome = sweep.Sweep();
    EXPECT_EQ(outcome.summary, Summary(true, 400, 400));
    EXPECT_TRUE(outcome.left.empty());
}

// A stop asked while several workers sweep, and a helper that throws, end
// every worker at its next entry: the one with the summary of what was done,
// the other as a failed run.
TEST_P(SweepParallel, StopOrAFailingHelperEndsEveryWorker) {
    for (const bool stop : {true, false}) {
        ParallelSweep sweep(GetParam());
        PlantWideTree(sweep.tree);
        std::thread::id first;
        sweep.onSubdirectory = [&](const std::string&, size_t threadsSeen) {
            if (threadsSeen == 1) first = std::this_thread::get_id();
            if (std::this_thread::get_id() == first) return;
            if (stop) sweep.job.RequestStop();
            else throw std::runtime_error("thrown on a helper");
        };
        const Outcome outcome = sweep.Sweep();
        const int left = static_cast<int>(FilesLeft(outcome));
        EXPECT_EQ(sweep.job.LastRunEnd(), stop ? SweepJob::RunEnd::Stopped : SweepJob::RunEnd::Failed);
        EXPECT_EQ(outcome.summary, stop ? Summary(false, 400 - left, 400 - left) : "运行异常结束");
        EXPECT_GT(left, 0) << stop;
    }
}

// The paced speeds sweep with one worker; a speed saved during a run decides
// the hand-overs that follow it.
TEST_P(SweepParallel, SpeedSavedDuringARunDecidesWhetherWorkersJoin) {
    const struct {
        int speed, savedSpeed;
        bool joined;
    } cases[] = {{1, 1, false}, {1, 3, true}};
    for (const auto& c : cases) {
        ParallelSweep sweep(GetParam());
        PlantWideTree(sweep.tree);
        sweep.settings.speed = c.speed;
        sweep.onSubdirectory = [&](const std::string&, size_t) { sweep.settings.speed = c.savedSpeed; };
        EXPECT_EQ(sweep.Sweep().summary, Summary(true, 400, 400)) << c.savedSpeed;
        EXPECT_EQ(sweep.Threads() > 1, c.joined) << c.savedSpeed;
    }
}

// A machine with one processor, on calls that do not block, sweeps on one thread.
TEST(SweepParallelOne, OneWorkerWhoseCallsDoNotBlockStaysAlone) {
    ParallelSweep sweep(Crew{1, false});
    PlantWideTree(sweep.tree);
    EXPECT_EQ(sweep.Sweep().summary, Summary(true, 400, 400));
    EXPECT_EQ(sweep.Threads(), 1u);
}

}  // namespace
