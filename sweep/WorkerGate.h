#pragma once
// Where a controlling thread and the worker threads of one run meet, shared
// by all of them and outliving each.
//
// A worker is "inside" while it may touch its owner's state, and steps
// outside for anything that may block: a pause, a wait for work, or a system
// call that can hang. It crosses the gate at its safe points, where it holds
// no lock; there it waits while suspended and there it learns that it has
// been abandoned. An abandoned worker never goes inside again, so once
// Abandon returns its owner may be destroyed, even while workers are still
// stuck in calls.

#include <condition_variable>
#include <functional>
#include <mutex>

class WorkerGate {
public:
    using Sleeper = std::function<void(int millis)>;

    // `workers`: the threads that will cross this gate, each starting outside.
    WorkerGate(Sleeper sleep, int workers);

    // Worker side. Each returns false once the workers have been abandoned:
    // the caller must then unwind without touching anything its owner holds.
    bool Leave();
    bool Enter();
    bool SafePoint();  // between two steps, inside
    bool Pause(int millis);
    void Finish();  // the calling thread is about to end

    // One worker more, counted before its thread is made (from a worker
    // inside); false once the workers are abandoned.
    bool AddWorker();

    // Controller side.
    // One worker fewer: its thread could not be made.
    void DropWorker();
    void Suspend();
    void Resume();
    // True when every worker finished within `millis`.
    bool WaitFinished(int millis);
    // Worker side, outside: waits until every other worker has finished, or
    // all are abandoned.
    void WaitOthersFinished();
    // Makes sure no worker goes inside again. Waits only while some worker is
    // inside (moments between two safe points), never for a call or a pause.
    // False when every worker had already finished.
    bool Abandon();

private:
    // Waits, outside, while the workers are suspended; false once abandoned.
    bool WaitWhileSuspended(std::unique_lock<std::mutex>& hold);

    std::mutex mutex;
    std::condition_variable changed;
    const Sleeper sleep;
    int inside = 0;   // workers between Enter and Leave
    int working;      // workers not yet finished
    bool suspended = false;
    bool abandoned = false;
};
