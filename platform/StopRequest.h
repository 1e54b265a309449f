#pragma once
// A stop asked of a silent run from outside the process, which must end the
// sweep as the window's Stop does rather than cut it short.
//
// On Windows the program is a window program: the Ctrl+C, Ctrl+Break or
// closing of a console never reaches it. The console launcher (vorn.com,
// platform/ConsoleLauncher.h) that started it gets them and passes them on
// through an event named after this process (StopEvent_win.h), which this
// watches. On POSIX a stop comes as a signal, which this does not watch.

#include <functional>
#include <memory>

namespace platform {

class StopRequest {
public:
    // From now until destruction `onStop` runs once, on a thread of the
    // system's, when a stop is asked; it must be safe to call from there.
    explicit StopRequest(std::function<void()> onStop);
    // Once this returns, `onStop` neither runs nor will run.
    ~StopRequest();
    StopRequest(const StopRequest&) = delete;
    StopRequest& operator=(const StopRequest&) = delete;

private:
    struct State;
    std::unique_ptr<State> state;
};

}  // namespace platform
