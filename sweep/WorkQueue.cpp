#include "sweep/WorkQueue.h"

#include <utility>

#include "sweep/WalkFolder.h"

void WorkQueue::Push(std::shared_ptr<WalkFolder> folder) {
    {
        std::lock_guard hold(mutex);
        if (closed) return;
        folders.push_back(std::move(folder));
        Count();
    }
    changed.notify_one();
}

// A task refused is dropped outside the lock, as the caller's.
void WorkQueue::Offer(FolderTask task) {
    {
        std::lock_guard hold(mutex);
        if (closed) return;
        if (waiting.load(std::memory_order_relaxed) <= static_cast<int>(folders.size() + tasks.size())) {
            unmet.store(true, std::memory_order_relaxed);
            return;
        }
        tasks.push_back(std::move(task));
        Count();
    }
    changed.notify_one();
}

// Tasks first: the worker that asked for them waits for them before it goes on.
WalkWork WorkQueue::Take() {
    std::unique_lock hold(mutex);
    waiting.fetch_add(1, std::memory_order_relaxed);
    changed.wait(hold, [this] { return closed || !folders.empty() || !tasks.empty(); });
    waiting.fetch_sub(1, std::memory_order_relaxed);
    WalkWork work;
    if (closed) return work;
    if (!tasks.empty()) {
        work.task.emplace(std::move(tasks.front()));
        tasks.pop_front();
    } else {
        work.folder = std::move(folders.front());
        folders.pop_front();
    }
    Count();
    return work;
}

// What was left is let go of outside the lock: each folder closes its
// directory, each task lets its folder's count down.
void WorkQueue::Close() {
    std::deque<std::shared_ptr<WalkFolder>> leftFolders;
    std::deque<FolderTask> leftTasks;
    {
        std::lock_guard hold(mutex);
        closed = true;
        leftFolders.swap(folders);
        leftTasks.swap(tasks);
        queued.store(0, std::memory_order_relaxed);
    }
    changed.notify_all();
}
