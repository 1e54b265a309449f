#pragma once
// A small task asked ahead for a folder (each entry's attributes, its time)
// on a worker that has nothing else to do. Counted in the folder's `tasks`
// from its making until it has run or been dropped, so that the folder is
// not finished, nor its directory closed, while a task may still use it.

#include <functional>
#include <memory>

#include "sweep/WalkFolder.h"

class FolderTask {
public:
    FolderTask(std::shared_ptr<WalkFolder> folder, std::function<void()> task);
    FolderTask(FolderTask&& other) noexcept = default;
    FolderTask& operator=(FolderTask&&) = delete;
    ~FolderTask();

    void Run() const { task(); }
    // Waits until no task of `folder` is left.
    static void AwaitAll(WalkFolder& folder);

private:
    std::shared_ptr<WalkFolder> folder;  // null once moved from
    std::function<void()> task;
};
