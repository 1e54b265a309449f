#include "platform/StopRequests.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <unistd.h>

#include "support/InChild.h"

namespace {

// Sent from a thread started after the object, as the sweep's is: no thread
// may be ended by a request while it lives.
void RequestFromAnotherThread(int signal) {
    std::thread([signal] { kill(getpid(), signal); }).join();
}

std::string CallsAfterRequest(int signal) {
    std::atomic<int> calls{0};
    platform::StopRequests stops([&calls] { ++calls; });
    const bool before = stops.Received();
    RequestFromAnotherThread(signal);
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (calls == 0 && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return std::to_string(calls) + (before ? " received before" : "") + (stops.Received() ? " received" : "");
}

TEST(StopRequestsTest, RequestsCallBackWhileTheObjectLivesAndEndTheProcessAfter) {
    for (const int signal : {SIGTERM, SIGINT}) {
        EXPECT_EQ(RunInChild([signal] { return CallsAfterRequest(signal); }), "1 received") << signal;
        const std::string after = RunInChild([signal] {
            { platform::StopRequests stops([] {}); }
            RequestFromAnotherThread(signal);
            return std::string("still running");
        });
        EXPECT_EQ(after, "killed by signal " + std::to_string(signal));
    }
}

}  // namespace
