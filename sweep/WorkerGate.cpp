#include "sweep/WorkerGate.h"

#include <chrono>
#include <utility>

WorkerGate::WorkerGate(Sleeper sleep) : sleep(std::move(sleep)) {}

bool WorkerGate::Cross(bool goingInside) {
    std::unique_lock hold(mutex);
    if (suspended && !abandoned) {
        inside = false;
        changed.notify_all();
        changed.wait(hold, [this] { return !suspended || abandoned; });
    }
    inside = goingInside && !abandoned;
    if (!inside) changed.notify_all();
    return !abandoned;
}

bool WorkerGate::Leave() { return Cross(false); }

bool WorkerGate::Enter() { return Cross(true); }

// The sleep itself happens outside: a forced end need not wait for it.
bool WorkerGate::Pause(int millis) {
    if (!Leave()) return false;
    sleep(millis);
    return Enter();
}

void WorkerGate::Finish() {
    std::lock_guard hold(mutex);
    inside = false;
    finished = true;
    changed.notify_all();
}

void WorkerGate::Suspend() {
    std::lock_guard hold(mutex);
    suspended = true;
}

void WorkerGate::Resume() {
    std::lock_guard hold(mutex);
    suspended = false;
    changed.notify_all();
}

bool WorkerGate::WaitFinished(int millis) {
    std::unique_lock hold(mutex);
    return changed.wait_for(hold, std::chrono::milliseconds(millis), [this] { return finished; });
}

bool WorkerGate::Abandon() {
    std::unique_lock hold(mutex);
    changed.wait(hold, [this] { return !inside || finished; });
    if (finished) return false;
    abandoned = true;
    changed.notify_all();
    return true;
}
