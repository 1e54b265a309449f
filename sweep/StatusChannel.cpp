#include "sweep/StatusChannel.h"

#include <utility>

void StatusChannel::Push(StatusKind kind, const std::string& text) {
    StatusRecord record{kind, text};  // copied before the lock is taken
    std::lock_guard hold(lock);
    queue.push_back(std::move(record));
}

StatusRecord StatusChannel::Take() {
    std::lock_guard hold(lock);
    if (queue.empty()) return {};
    StatusRecord record = std::move(queue.front());
    queue.pop_front();
    return record;
}

void StatusChannel::TrimOldest(size_t keep) {
    std::lock_guard hold(lock);
    if (queue.size() <= TrimThreshold) return;
    while (queue.size() > keep) queue.pop_front();
}
