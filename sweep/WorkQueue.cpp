#include "sweep/WorkQueue.h"

#include <utility>

#include "sweep/WalkFolder.h"

void WorkQueue::Push(std::shared_ptr<WalkFolder> folder) {
    {
        std::lock_guard hold(mutex);
        if (closed) return;
        folders.push_back(std::move(folder));
        queued.store(static_cast<int>(folders.size()), std::memory_order_relaxed);
    }
    changed.notify_one();
}

std::shared_ptr<WalkFolder> WorkQueue::Take() {
    std::unique_lock hold(mutex);
    waiting.fetch_add(1, std::memory_order_relaxed);
    changed.wait(hold, [this] { return closed || !folders.empty(); });
    waiting.fetch_sub(1, std::memory_order_relaxed);
    if (closed) return nullptr;
    std::shared_ptr<WalkFolder> folder = std::move(folders.front());
    folders.pop_front();
    queued.store(static_cast<int>(folders.size()), std::memory_order_relaxed);
    return folder;
}

// The folders are let go of outside the lock: each closes its directory.
void WorkQueue::Close() {
    std::deque<std::shared_ptr<WalkFolder>> left;
    {
        std::lock_guard hold(mutex);
        closed = true;
        left.swap(folders);
        queued.store(0, std::memory_order_relaxed);
    }
    changed.notify_all();
}
