#pragma once
// One folder of a walk while anything under it is unfinished. It stays open
// until then: its subdirectories, searched by any worker, are removed
// through it. What the work counts of it goes in `tally`, which the walk
// never reads; its counts take in those of its subtree as each is finished.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/Directory.h"

// What a sweep keeps of one folder.
struct FolderTally {
    std::atomic<uint32_t> found{0};  // files seen in the subtree
    std::atomic<int> deleted{0};     // of which deleted (in a list-only run: would be)
    std::atomic<bool> kept{false};   // something in it stays, so it cannot be removed
    int pause = 0;                   // asked when its listing began; only its lister reads it
    platform::Executor askAhead;     // the same: where its questions go ahead, when anywhere
};

struct WalkFolder {
    WalkFolder(std::shared_ptr<WalkFolder> parent, std::string path, size_t pathBytes)
        : parent(std::move(parent)), path(std::move(path)), pathBytes(pathBytes) {}

    const std::shared_ptr<WalkFolder> parent;  // null for the root
    const std::string path;                    // as the texts show it
    const size_t pathBytes;                    // as the path limit counts it (platform::NameBytes)
    platform::Directory dir;
    // Its own listing, and each subdirectory not yet finished.
    std::atomic<int> pending{1};
    // Tasks asked ahead for it that have not yet run or been dropped, and
    // where the last one's end is told. A condition variable, not the
    // counter's own wait: with MinGW's library (GCC 12) an atomic's wait may
    // miss its notification, and the folder's lister then waits for ever.
    std::mutex taskLock;
    std::condition_variable tasksDone;
    int tasks = 0;
    FolderTally tally;
};
