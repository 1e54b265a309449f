#pragma once
// Where a worker hands a subdirectory it has just opened to a worker that
// has nothing to do. Directories are handed over only while some worker
// waits for one, or to a worker started for it, so the queue never holds
// more than there are workers: a directory of a million subdirectories costs
// no more memory, and no more open directories, than a sweep with one worker.
//
// Shared by the workers of one run through a shared_ptr, so that a worker
// abandoned while it waits here never touches its walk again.

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

struct WalkFolder;

class WorkQueue {
public:
    // True while some waiting worker would find nothing: a directory handed
    // over now is taken at once. Only a hint; Push never refuses.
    bool Wanted() const { return waiting.load(std::memory_order_relaxed) > queued.load(std::memory_order_relaxed); }
    int Waiting() const { return waiting.load(std::memory_order_relaxed); }
    void Push(std::shared_ptr<WalkFolder> folder);
    // The next directory; waits while there is none. Null once closed.
    std::shared_ptr<WalkFolder> Take();
    // No more work: every Take returns null from now on, and what was left
    // queued is dropped.
    void Close();

private:
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::shared_ptr<WalkFolder>> folders;
    std::atomic<int> waiting{0};
    std::atomic<int> queued{0};
    bool closed = false;
};
