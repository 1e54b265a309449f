#include "platform/Threads.h"

#include <ctime>

namespace platform {

int64_t ThreadProcessorTime() {
    timespec now{};
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) != 0) return 0;
    return static_cast<int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

bool GrowWorkersOnBlockingCalls() { return true; }

}  // namespace platform
