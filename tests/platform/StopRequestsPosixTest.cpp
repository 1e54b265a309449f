#include "platform/StopRequests.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <unistd.h>

#include "support/InChild.h"

namespace {

// Sent from a thread started after the object, as the sweep's is: no thread
// may be ended by a request while it lives; once it is gone, one ends the
// process as before.
TEST(StopRequestsTest, RequestsCallBackWhileTheObjectLivesAndEndTheProcessAfter) {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        const auto request = [signal] { std::thread([signal] { kill(getpid(), signal); }).join(); };
        const std::string seen = RunInChild([&request] {
            std::atomic<int> calls{0};
            platform::StopRequests stops([&calls] { ++calls; });
            request();
            for (int waited = 0; calls == 0 && waited < 5000; ++waited)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return std::to_string(calls) + (stops.Received() ? " received" : "");
        });
        EXPECT_EQ(seen, "1 received") << signal;
        const std::string after = RunInChild([&request, signal] {
            std::signal(signal, SIG_DFL);  // as it is unless whoever started the tests ignores it
            { platform::StopRequests stops([] {}); }
            request();
            return std::string("still running");
        });
        EXPECT_EQ(after, "killed by signal " + std::to_string(signal));
    }
}

// A write to a pipe nobody reads fails while the object lives, from any
// thread, and ends the process once it is gone.
TEST(StopRequestsTest, ClosedOutputFailsTheWriteInsteadOfEndingTheProcess) {
    const auto writeToClosedPipe = [] {
        int fds[2];
        if (pipe(fds) != 0) return std::string("no pipe");
        close(fds[0]);
        std::string seen;
        std::thread([&] { seen = write(fds[1], "x", 1) < 0 && errno == EPIPE ? "refused" : "written"; }).join();
        close(fds[1]);
        return seen;
    };
    EXPECT_EQ(RunInChild([&] {
                  platform::StopRequests stops([] {});
                  return writeToClosedPipe();
              }),
              "refused");
    EXPECT_EQ(RunInChild([&] {
                  std::signal(SIGPIPE, SIG_DFL);
                  { platform::StopRequests stops([] {}); }
                  return writeToClosedPipe();
              }),
              "killed by signal " + std::to_string(SIGPIPE));
}

}  // namespace
