#include "sweep/FolderTask.h"

#include <utility>

FolderTask::FolderTask(std::shared_ptr<WalkFolder> folder, std::function<void()> task)
    : folder(std::move(folder)), task(std::move(task)) {
    ++this->folder->tasks;
}

// The folder is held until the count is down: the one who waits finds it.
FolderTask::~FolderTask() {
    if (folder && folder->tasks.fetch_sub(1, std::memory_order_acq_rel) == 1) folder->tasks.notify_all();
}

void FolderTask::AwaitAll(WalkFolder& folder) {
    for (int left = folder.tasks.load(std::memory_order_acquire); left != 0;
         left = folder.tasks.load(std::memory_order_acquire))
        folder.tasks.wait(left);
}
