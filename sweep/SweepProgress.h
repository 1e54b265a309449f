#pragma once
// How far a running sweep has got, for a display that another thread draws
// while the sweep runs. Counting is cheap; the folder is copied under a lock
// held only for the copy.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

class SweepProgress {
public:
    struct Snapshot {
        uint64_t files = 0;    // files seen so far, whether their names matched or not
        uint64_t deleted = 0;  // files deleted so far
        std::string folder;    // the directory a worker began last, as the texts show it
    };

    void FileSeen() { files.fetch_add(1, std::memory_order_relaxed); }
    void FileDeleted() { deleted.fetch_add(1, std::memory_order_relaxed); }
    void Began(const std::string& path);
    Snapshot Take() const;

private:
    std::atomic<uint64_t> files{0};
    std::atomic<uint64_t> deleted{0};
    mutable std::mutex folderLock;
    std::string folder;
};
