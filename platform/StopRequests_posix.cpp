#include "platform/StopRequests.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/signalfd.h>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

sigset_t StopSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

}  // namespace

// No signal handler runs: the signals stay blocked and a thread reads them
// from a descriptor, so nothing needs to be async-signal-safe and `onStop`
// may do as it likes. A signal the process ignores (SIGINT in a background
// job of a shell) is never queued, so it stays ignored.
struct StopRequests::State {
    ~State() {
        for (const int fd : {signals, quit[0], quit[1]})
            if (fd >= 0) close(fd);
    }
    void Watch(const std::function<void()>& onStop) {
        pollfd wait[] = {{signals, POLLIN, 0}, {quit[0], POLLIN, 0}};
        while (poll(wait, 2, -1) >= 0 || errno == EINTR) {
            if (wait[1].revents) return;
            if (wait[0].revents && Take()) {
                received = true;
                onStop();
            }
        }
    }
    bool Take() {
        signalfd_siginfo info;
        return read(signals, &info, sizeof info) == static_cast<ssize_t>(sizeof info);
    }

    sigset_t previousMask;
    struct sigaction previousPipe {};
    int signals = -1;
    int quit[2] = {-1, -1};
    std::atomic<bool> received{false};
    std::thread watcher;
};

// Threads inherit the mask of the thread that starts them: blocked here, the
// signals stay blocked in the sweep's thread too, and no thread is ended by
// them.
StopRequests::StopRequests(std::function<void()> onStop) : state(std::make_unique<State>()) {
    State& s = *state;
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &s.previousPipe);
    const sigset_t stops = StopSignals();
    pthread_sigmask(SIG_BLOCK, &stops, &s.previousMask);
    s.signals = signalfd(-1, &stops, SFD_CLOEXEC | SFD_NONBLOCK);
    if (s.signals >= 0 && pipe2(s.quit, O_CLOEXEC) == 0) {
        try {
            s.watcher = std::thread([&s, onStop = std::move(onStop)] { s.Watch(onStop); });
            return;
        } catch (...) {
        }
    }
    // No descriptor or no thread to spare: requests end the process as before.
    pthread_sigmask(SIG_SETMASK, &s.previousMask, nullptr);
}

StopRequests::~StopRequests() {
    State& s = *state;
    sigaction(SIGPIPE, &s.previousPipe, nullptr);
    if (!s.watcher.joinable()) return;
    close(s.quit[1]);
    s.quit[1] = -1;
    s.watcher.join();
    while (s.Take()) {
    }
    pthread_sigmask(SIG_SETMASK, &s.previousMask, nullptr);
}

bool StopRequests::Received() const { return state->received; }

}  // namespace platform
