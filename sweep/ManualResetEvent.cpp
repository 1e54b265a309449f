#include "sweep/ManualResetEvent.h"

#include <chrono>

void ManualResetEvent::Set() {
    std::lock_guard hold(mutex);
    signalled = true;
    changed.notify_all();
}

void ManualResetEvent::Reset() {
    std::lock_guard hold(mutex);
    signalled = false;
}

bool ManualResetEvent::Wait(int millis) {
    std::unique_lock hold(mutex);
    const auto isSet = [this] { return signalled; };
    if (millis < 0) {
        changed.wait(hold, isSet);
        return true;
    }
    return changed.wait_for(hold, std::chrono::milliseconds(millis), isSet);
}
