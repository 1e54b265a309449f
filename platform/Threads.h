#pragma once
// What the sweep's workers ask of the system about threads.

#include <cstdint>

namespace platform {

// The calling thread's times since it started, in nanoseconds.
struct ThreadTimes {
    int64_t processor = 0;  // on a processor (user and system)
    // Ready to run while other threads had the processors: not blocked in a
    // call, only waiting for its turn. 0 where the system does not tell.
    int64_t waitingForProcessor = 0;
};

// A few system calls; cheap enough to read every few dozen entries, not
// every entry.
ThreadTimes CurrentThreadTimes();

// Whether a sweep may add workers beyond the processors while its calls
// block. Not on Windows: deleting in parallel on NTFS can be slower (real-
// time scanning), and only a real Windows can tell when it is not.
bool GrowWorkersOnBlockingCalls();

}  // namespace platform
