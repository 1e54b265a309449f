// The walk alone, with a visitor that only records: every folder finished
// once and after everything under it, the open folders within the budget,
// the workers added only while calls block, up to the cap and the room the
// budget leaves, and the tasks asked ahead run by other workers before
// their folder ends.

#include "sweep/ParallelWalk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/Path.h"
#include "support/TempDir.h"

namespace {

// Records what it is given; shared by every worker, so it locks.
class Recorder : public WalkVisitor {
public:
    bool Parallel() const override { return parallel; }
    void Begin(const Folder& folder, const Executor&) override {
        std::lock_guard hold(mutex);
        if (!ended.count(root)) begunWhileRootListed.emplace_back(folder->path, std::this_thread::get_id());
    }
    // Each file takes a while, as a call to a slow share does.
    bool Entry(const Folder&, const platform::DirEntry&, const WalkPlace& place) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (place.pathBytes != place.path.size()) ++miscounted;
        return true;
    }
    bool Enter(const Folder&, const WalkPlace&) override { return true; }
    void Opened(const Folder&, const Folder&, platform::OpenResult result) override {
        std::lock_guard hold(mutex);
        if (result == platform::OpenResult::Listed) mostOpen = std::max(mostOpen, ++open);
    }
    bool End(const Folder& folder) override {
        std::lock_guard hold(mutex);
        ended.insert(folder->path);
        return true;
    }
    bool Finish(const Folder& folder) override {
        std::lock_guard hold(mutex);
        --open;
        finished.push_back(folder->path);
        return true;
    }

    bool parallel = true;
    std::mutex mutex;
    std::vector<std::string> finished;
    std::set<std::string> ended;
    std::string root;
    // The folders begun, and their workers, until `root` was listed.
    std::vector<std::pair<std::string, std::thread::id>> begunWhileRootListed;
    int open = 1;  // the root
    int mostOpen = 1;
    std::atomic<int> miscounted{0};  // entries whose bytes against the path limit are not their path's
};

// Asks four tasks ahead in every folder; each notes where it ran, and
// whether its folder had already ended then.
class AskingRecorder final : public Recorder {
public:
    void Begin(const Folder& folder, const Executor& askAhead) override {
        std::lock_guard hold(mutex);
        if (!askAhead) ++withoutExecutor;
        for (int task = 0; askAhead && task < 4; ++task) {
            ++asked;
            askAhead([this, path = folder->path, lister = std::this_thread::get_id()] {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                std::lock_guard hold(mutex);
                ++ran;
                if (std::this_thread::get_id() == lister) ++onLister;
                if (ended.count(path)) ++late;
            });
        }
    }

    int withoutExecutor = 0, asked = 0, ran = 0, onLister = 0, late = 0;
};

// Asks one task ahead after every entry, as the sweep does in a large
// folder of a share; counts those that ran, all elsewhere.
class EntryAskingRecorder final : public Recorder {
public:
    void Begin(const Folder&, const Executor& askAhead) override {
        std::lock_guard hold(mutex);
        executor = askAhead;
    }
    bool Entry(const Folder& folder, const platform::DirEntry& entry, const WalkPlace& place) override {
        Recorder::Entry(folder, entry, place);
        executor([this, lister = std::this_thread::get_id()] {
            std::lock_guard hold(mutex);
            ran += std::this_thread::get_id() != lister;
        });
        return true;
    }

    Executor executor;
    int ran = 0;
};

// The walk's threads, made here. The calls run where they are made; each
// worker's clock moves 10 ms between readings, on the processor throughout
// or never.
class TestThreads final : public WalkThreads {
public:
    TestThreads(bool callsBlock, WalkVisitor& visitor) : callsBlock(callsBlock), visitor(visitor) {}

    bool Outside(CallRef call) override {
        call();
        return true;
    }
    bool Going() const override { return true; }
    bool AddWorker() override {
        std::lock_guard hold(mutex);
        threads.emplace_back([this] { walk->Serve(visitor); });
        return true;
    }
    WorkerTimes Times() const override {
        thread_local int64_t wall = 0;
        wall += 10'000'000;
        return {wall, callsBlock ? 0 : wall};
    }
    void Join() {
        std::vector<std::thread> taken;
        {
            std::lock_guard hold(mutex);
            taken.swap(threads);
        }
        for (std::thread& thread : taken) thread.join();
    }

    ParallelWalk* walk = nullptr;

private:
    const bool callsBlock;
    WalkVisitor& visitor;
    std::mutex mutex;
    std::vector<std::thread> threads;
};

// 12 folders of 3 folders of 3 files: 49 folders, 3 levels.
std::set<std::string> PlantTree(const TempDir& tree) {
    std::set<std::string> folders{tree.Path().string()};
    for (int top = 0; top < 12; ++top) {
        const std::string topName = "t" + std::to_string(top);
        for (int sub = 0; sub < 3; ++sub) {
            const std::string subName = "s" + std::to_string(sub);
            for (int file = 0; file < 3; ++file) tree.Write(topName + "/" + subName + "/f" + std::to_string(file), "x");
            folders.insert((tree / topName / subName).string());
        }
        folders.insert((tree / topName).string());
    }
    return folders;
}

// No folder finished before one under it.
bool FinishedBottomUp(const std::vector<std::string>& finished) {
    for (size_t i = 0; i < finished.size(); ++i) {
        const std::string under = finished[i] + platform::PathSeparator;
        for (size_t later = i + 1; later < finished.size(); ++later)
            if (finished[later].rfind(under, 0) == 0) return false;
    }
    return true;
}

// Walks `tree` (named with a separator at its end if `separated`) from the
// test's thread and as many more as `bounds` starts with; the most workers it
// had.
int Walk(const TempDir& tree, WalkVisitor& visitor, bool callsBlock, WalkBounds bounds, bool separated = false) {
    TestThreads threads(callsBlock, visitor);
    ParallelWalk walk(threads, bounds);
    threads.walk = &walk;
    for (int helper = 1; helper < bounds.workers; ++helper) threads.AddWorker();
    const std::string path = tree.Path().string() + (separated ? std::string(1, platform::PathSeparator) : "");
    const auto root = std::make_shared<WalkFolder>(nullptr, path, path.size());
    EXPECT_EQ(root->dir.Open(root->path.c_str()), platform::OpenResult::Listed);
    EXPECT_TRUE(walk.Walk(root, visitor));
    threads.Join();
    return walk.MostWorkers();
}

TEST(ParallelWalk, FinishesEveryFolderOnceBottomUpAndGrowsOnlyWhileCallsBlock) {
    const struct {
        const char* what;
        bool callsBlock;
        int maxWorkers, budget;
        int fewestWorkers, mostWorkers;  // the most the walk had at once lies between these
        int workers = 2;                 // from the start
    } cases[] = {
        {"calls never block", false, 8, 1000, 2, 2},
        {"calls block", true, 8, 1000, 8, 8},
        {"no growth allowed", true, 2, 1000, 2, 2},
        // 4 levels for each worker: 30 folders leave room for 7 at most.
        {"a small budget", true, 32, 30, 3, 7},
        // At the first hand-over the root and that folder are open: 2 + 2
        // workers x 4 levels is within 11, 2 + 3 x 4 is not. A worker added
        // is counted with the room it needs, and no more.
        {"room for exactly one more", true, 8, 11, 2, 2, 1},
    };
    for (const auto& c : cases) {
        TempDir tree;
        const std::set<std::string> folders = PlantTree(tree);
        Recorder visitor;
        const int most = Walk(tree, visitor, c.callsBlock, WalkBounds{c.workers, c.maxWorkers, 4, c.budget, 2});
        EXPECT_EQ(visitor.miscounted, 0) << c.what;
        // Each worker holds the folder it lists and the one it opens in it,
        // and no more is handed over than there are workers to take it.
        EXPECT_LE(visitor.mostOpen, 1 + 3 * c.mostWorkers) << c.what;
        EXPECT_EQ(visitor.finished.size(), folders.size()) << c.what;
        EXPECT_EQ(std::set<std::string>(visitor.finished.begin(), visitor.finished.end()), folders) << c.what;
        EXPECT_TRUE(FinishedBottomUp(visitor.finished)) << c.what;
        EXPECT_LE(visitor.mostOpen, c.budget) << c.what;
        EXPECT_GE(most, c.fewestWorkers) << c.what;
        EXPECT_LE(most, c.mostWorkers) << c.what;
    }
}

// A lone worker whose calls block hands over the root's folders as it lists
// them, the first ones too, though no whole period was measured yet: one
// searched depth first would hold up the rest of the root's, on a share for
// as long as the folder takes.
TEST(ParallelWalk, ALoneBlockedWorkerHandsOverTheRootsFoldersFromTheFirst) {
    TempDir tree;
    PlantTree(tree);
    Recorder visitor;
    // Named as a root such as "/" is, with a separator at its end.
    visitor.root = tree.Path().string() + platform::PathSeparator;
    // A cap above all the walk could add (a worker for each hand-over and each
    // folder begun): however late the workers start, it is never met.
    Walk(tree, visitor, true, WalkBounds{1, 128, 4, 1000, 2}, true);
    EXPECT_EQ(visitor.miscounted, 0);
    for (const auto& [path, worker] : visitor.begunWhileRootListed) {
        if (worker == std::this_thread::get_id()) {
            EXPECT_EQ(path, visitor.root);
        }
    }
}

// In a folder without subdirectories nothing is handed over: where calls
// block, a task asked ahead that finds no worker free starts one for the
// next; elsewhere tasks find none and the lister stays alone.
TEST(ParallelWalk, TasksFindingNoWorkerFreeStartOneWhereCallsBlock) {
    for (const bool callsBlock : {true, false}) {
        TempDir tree;
        for (int file = 0; file < 2 * ParallelWalk::EntriesPerMeasure; ++file) tree.Write("f" + std::to_string(file), "x");
        EntryAskingRecorder visitor;
        const int most = Walk(tree, visitor, callsBlock, WalkBounds{1, 4, 4, 1000, 2});
        EXPECT_EQ(most > 1, callsBlock);
        EXPECT_EQ(visitor.ran > 0, callsBlock);
    }
}

// Tasks go only to workers that wait, never to the folder's own lister, and
// all of a folder's tasks are over before it ends; where the walk is not
// parallel nothing can be asked ahead.
TEST(ParallelWalk, TasksAskedAheadRunElsewhereBeforeTheirFolderEnds) {
    for (const bool parallel : {true, false}) {
        TempDir tree;
        const size_t folders = PlantTree(tree).size();
        AskingRecorder visitor;
        visitor.parallel = parallel;
        Walk(tree, visitor, false, WalkBounds{4, 4, 4, 1000, 2});
        EXPECT_EQ(visitor.finished.size(), folders);
        if (parallel) {
            EXPECT_EQ(visitor.asked, 4 * static_cast<int>(folders));
            EXPECT_GT(visitor.ran, 0);
            EXPECT_LE(visitor.ran, visitor.asked);
        } else {
            EXPECT_EQ(visitor.withoutExecutor, static_cast<int>(folders));
        }
        EXPECT_EQ(visitor.onLister, 0) << parallel;
        EXPECT_EQ(visitor.late, 0) << parallel;
    }
}

}  // namespace
