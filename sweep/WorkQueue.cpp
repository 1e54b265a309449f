#include "sweep/WorkQueue.h"

#include <utility>

#include "sweep/DirNode.h"

void WorkQueue::Push(std::shared_ptr<DirNode> node) {
    {
        std::lock_guard hold(mutex);
        if (closed) return;
        nodes.push_back(std::move(node));
        queued.store(static_cast<int>(nodes.size()), std::memory_order_relaxed);
    }
    changed.notify_one();
}

std::shared_ptr<DirNode> WorkQueue::Take() {
    std::unique_lock hold(mutex);
    waiting.fetch_add(1, std::memory_order_relaxed);
    changed.wait(hold, [this] { return closed || !nodes.empty(); });
    waiting.fetch_sub(1, std::memory_order_relaxed);
    if (closed) return nullptr;
    std::shared_ptr<DirNode> node = std::move(nodes.front());
    nodes.pop_front();
    queued.store(static_cast<int>(nodes.size()), std::memory_order_relaxed);
    return node;
}

// The nodes are let go of outside the lock: each closes its directory.
void WorkQueue::Close() {
    std::deque<std::shared_ptr<DirNode>> left;
    {
        std::lock_guard hold(mutex);
        closed = true;
        left.swap(nodes);
        queued.store(0, std::memory_order_relaxed);
    }
    changed.notify_all();
}
