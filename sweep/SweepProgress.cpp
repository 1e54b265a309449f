#include "sweep/SweepProgress.h"

// The copy is made before the lock is taken, so the lock covers a swap only.
void SweepProgress::Began(const std::string& path) {
    std::string copy = path;
    std::lock_guard hold(folderLock);
    folder.swap(copy);
}

SweepProgress::Snapshot SweepProgress::Take() const {
    Snapshot now{files.load(std::memory_order_relaxed), deleted.load(std::memory_order_relaxed), {}};
    std::lock_guard hold(folderLock);
    now.folder = folder;
    return now;
}
