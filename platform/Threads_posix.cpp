#include "platform/Threads.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

namespace platform {

namespace {

// The scheduler's own account (a kernel with scheduler statistics): the
// time on a processor and the time waiting in its run queue.
bool ReadSchedulerTimes(ThreadTimes& times) {
    const int fd = open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char text[96];
    const ssize_t got = read(fd, text, sizeof text - 1);
    close(fd);
    if (got <= 0) return false;
    text[got] = '\0';
    long long processor = 0, waiting = 0;
    if (std::sscanf(text, "%lld %lld", &processor, &waiting) != 2) return false;
    times = {processor, waiting};
    return true;
}

}  // namespace

ThreadTimes CurrentThreadTimes() {
    ThreadTimes times;
    if (ReadSchedulerTimes(times)) return times;
    timespec now{};
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) == 0)
        times.processor = static_cast<int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
    return times;
}

bool GrowWorkersOnBlockingCalls() { return true; }

}  // namespace platform
