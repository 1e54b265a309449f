#pragma once
// The polite requests to end a run: a service manager's stop (SIGTERM on
// POSIX), a terminal's Ctrl+C (SIGINT; on Windows passed on by the console
// launcher, vorn.com) and on POSIX the end of the terminal or session the
// run was started from (SIGHUP).

#include <functional>
#include <memory>

namespace platform {

// While it lives, a request to stop does not end the process: `onStop` is
// called instead, on a thread of its own, once for each request. Once it is
// gone, requests end the process as before; one that came in between is
// dropped, as there is nothing left to stop.
//
// While it lives, a closed output (a pipe whose reader is gone) does not end
// the process either (SIGPIPE on POSIX): the write fails instead, and the
// writer decides (platform/Console.h).
//
// Build it before any other thread of the process starts, and destroy it on
// the thread that built it: threads started earlier would still be ended by a
// request. At most one at a time.
class StopRequests {
public:
    explicit StopRequests(std::function<void()> onStop);
    ~StopRequests();
    StopRequests(const StopRequests&) = delete;
    StopRequests& operator=(const StopRequests&) = delete;

    // True once a request came; set before `onStop` is called for it.
    bool Received() const;

private:
    struct State;
    std::unique_ptr<State> state;
};

}  // namespace platform
