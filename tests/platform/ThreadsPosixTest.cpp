#include "platform/Threads.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sched.h>
#include <thread>
#include <unistd.h>

namespace {

using platform::ThreadTimes;

// The time spent waiting for a processor tells the sweep that its workers
// outnumber the processors: two busy threads held to one processor each
// wait for it while the other runs.
TEST(ThreadTimesTest, BusyThreadsSharingOneProcessorWaitForIt) {
    if (access("/proc/thread-self/schedstat", R_OK) != 0) GTEST_SKIP() << "no scheduler statistics";
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(sched_getcpu(), &one);
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    const auto busy = [&](ThreadTimes& times) {
        if (sched_setaffinity(0, sizeof one, &one) != 0) return;
        while (std::chrono::steady_clock::now() < until) {
        }
        times = platform::CurrentThreadTimes();
    };
    ThreadTimes first, second;
    std::thread a(busy, std::ref(first)), b(busy, std::ref(second));
    a.join();
    b.join();
    EXPECT_GT(first.processor, 0);
    EXPECT_GT(second.processor, 0);
    EXPECT_GT(first.waitingForProcessor + second.waitingForProcessor, 0);
}

}  // namespace
