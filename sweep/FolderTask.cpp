#include "sweep/FolderTask.h"

#include <utility>

FolderTask::FolderTask(std::shared_ptr<WalkFolder> folder, std::function<void()> task)
    : folder(std::move(folder)), task(std::move(task)) {
    const std::lock_guard hold(this->folder->taskLock);
    ++this->folder->tasks;
}

// The folder is held until the count is down: the one who waits finds it.
FolderTask::~FolderTask() {
    if (!folder) return;
    bool last;
    {
        const std::lock_guard hold(folder->taskLock);
        last = --folder->tasks == 0;
    }
    if (last) folder->tasksDone.notify_all();
}

void FolderTask::AwaitAll(WalkFolder& folder) {
    std::unique_lock hold(folder.taskLock);
    folder.tasksDone.wait(hold, [&folder] { return folder.tasks == 0; });
}
