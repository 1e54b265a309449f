#pragma once
// Where a worker hands a subdirectory it has just opened, or a small task
// asked ahead for the folder it lists, to a worker that has nothing to do.
// Directories are handed over only while some worker waits for one, or to a
// worker started for it, and tasks only to a worker that waits, so the queue
// never holds more than there are workers: a directory of a million
// subdirectories costs no more memory, and no more open directories, than a
// sweep with one worker.
//
// Shared by the workers of one run through a shared_ptr, so that a worker
// abandoned while it waits here never touches its walk again.

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>

#include "sweep/FolderTask.h"

// What a waiting worker takes: a folder to search or a task to run; neither
// once the queue is closed.
struct WalkWork {
    std::shared_ptr<WalkFolder> folder;
    std::optional<FolderTask> task;
};

class WorkQueue {
public:
    // True while some waiting worker would find nothing: a directory handed
    // over now is taken at once. Only a hint; Push never refuses.
    bool Wanted() const { return waiting.load(std::memory_order_relaxed) > queued.load(std::memory_order_relaxed); }
    int Waiting() const { return waiting.load(std::memory_order_relaxed); }
    void Push(std::shared_ptr<WalkFolder> folder);
    // Queues `task` only where a waiting worker takes it at once; otherwise,
    // and once closed, it is dropped without running.
    void Offer(FolderTask task);
    // Whether a task was dropped for want of a waiting worker since the last
    // call: a worker more would have had work.
    bool TakeUnmet() { return unmet.exchange(false, std::memory_order_relaxed); }
    // The next task, else the next folder; waits while there is neither.
    WalkWork Take();
    // No more work: every Take returns null from now on, and what was left
    // queued is dropped.
    void Close();

private:
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::shared_ptr<WalkFolder>> folders;
    std::deque<FolderTask> tasks;
    std::atomic<int> waiting{0};
    std::atomic<int> queued{0};
    std::atomic<bool> unmet{false};
    bool closed = false;

    void Count() { queued.store(static_cast<int>(folders.size() + tasks.size()), std::memory_order_relaxed); }
};
