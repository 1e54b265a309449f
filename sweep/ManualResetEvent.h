#pragma once
// An event that stays signalled until it is reset, so a waiter that comes
// late still sees it.

#include <condition_variable>
#include <mutex>

class ManualResetEvent {
public:
    void Set();
    void Reset();
    // True when the event is signalled within `millis`; a negative value waits without limit.
    bool Wait(int millis);

private:
    std::mutex mutex;
    std::condition_variable changed;
    bool signalled = false;
};
