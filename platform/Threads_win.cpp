#include "platform/Threads.h"

#include <windows.h>

namespace platform {

namespace {

int64_t Hundreds(const FILETIME& time) {
    return static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

}  // namespace

// The system counts in 100-nanosecond units, and does not say how long a
// thread waited for a processor.
ThreadTimes CurrentThreadTimes() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return {};
    return {(Hundreds(kernel) + Hundreds(user)) * 100, 0};
}

bool GrowWorkersOnBlockingCalls() { return false; }

}  // namespace platform
