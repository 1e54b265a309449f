#pragma once
// What the sweep's workers ask of the system about threads.

#include <cstdint>

namespace platform {

// The calling thread's time on a processor (user and system), in
// nanoseconds since it started. One system call; cheap enough to read every
// few dozen entries, not every entry.
int64_t ThreadProcessorTime();

// Whether a sweep may add workers beyond the processors while its calls
// block. Not on Windows: deleting in parallel on NTFS can be slower (real-
// time scanning), and only a real Windows can tell when it is not.
bool GrowWorkersOnBlockingCalls();

}  // namespace platform
