#include "sweep/WorkerGate.h"

#include <chrono>
#include <utility>

namespace {

// Whether the calling worker is inside its gate. A thread works for one gate
// in its life, so one flag per thread is enough.
thread_local bool threadInside = false;

}  // namespace

WorkerGate::WorkerGate(Sleeper sleep, int workers) : sleep(std::move(sleep)), working(workers) {}

bool WorkerGate::WaitWhileSuspended(std::unique_lock<std::mutex>& hold) {
    changed.wait(hold, [this] { return !suspended || abandoned; });
    return !abandoned;
}

bool WorkerGate::Leave() {
    std::unique_lock hold(mutex);
    if (threadInside) --inside;
    threadInside = false;
    changed.notify_all();
    return !abandoned && WaitWhileSuspended(hold);
}

bool WorkerGate::Enter() {
    std::unique_lock hold(mutex);
    if (!WaitWhileSuspended(hold)) return false;
    if (!threadInside) ++inside;
    threadInside = true;
    return true;
}

bool WorkerGate::SafePoint() {
    {
        std::lock_guard hold(mutex);
        if (!suspended) return !abandoned;
    }
    return Leave() && Enter();
}

// The sleep itself happens outside: a forced end need not wait for it.
bool WorkerGate::Pause(int millis) {
    if (!Leave()) return false;
    sleep(millis);
    return Enter();
}

void WorkerGate::Finish() {
    std::lock_guard hold(mutex);
    if (threadInside) --inside;
    threadInside = false;
    --working;
    changed.notify_all();
}

bool WorkerGate::AddWorker() {
    std::lock_guard hold(mutex);
    if (abandoned) return false;
    ++working;
    return true;
}

void WorkerGate::DropWorker() {
    std::lock_guard hold(mutex);
    --working;
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
    return changed.wait_for(hold, std::chrono::milliseconds(millis), [this] { return working == 0; });
}

// An abandonment ends the wait too: a helper stuck in a call may never finish.
void WorkerGate::WaitOthersFinished() {
    std::unique_lock hold(mutex);
    changed.wait(hold, [this] { return working == 1 || abandoned; });
}

bool WorkerGate::Abandon() {
    std::unique_lock hold(mutex);
    changed.wait(hold, [this] { return inside == 0 || working == 0; });
    if (working == 0) return false;
    abandoned = true;
    changed.notify_all();
    return true;
}
