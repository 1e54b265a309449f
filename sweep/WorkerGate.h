#pragma once
// Where a controlling thread and one worker thread meet, shared by both and
// outliving either.
//
// The worker is "inside" while it may touch its owner's state, and steps
// outside for anything that may block: a pause, or a system call that can
// hang. It crosses the gate at its safe points, where it holds no lock; there
// it waits while suspended and there it learns that it has been abandoned. An
// abandoned worker never goes inside again, so once Abandon returns its owner
// may be destroyed, even while the worker is still stuck in a call.

#include <condition_variable>
#include <functional>
#include <mutex>

class WorkerGate {
public:
    using Sleeper = std::function<void(int millis)>;

    explicit WorkerGate(Sleeper sleep);

    // Worker side. Each returns false once the worker has been abandoned: it
    // must then unwind without touching anything its owner holds.
    bool Leave();
    bool Enter();  // also the safe point between two steps
    bool Pause(int millis);
    void Finish();  // the thread is about to end

    // Controller side.
    void Suspend();
    void Resume();
    // True when the thread finished within `millis`.
    bool WaitFinished(int millis);
    // Makes sure the worker never goes inside again. Waits only while it is
    // inside (moments between two safe points), never for a call or a pause.
    // False when the thread had already finished.
    bool Abandon();

private:
    bool Cross(bool goingInside);

    std::mutex mutex;
    std::condition_variable changed;
    const Sleeper sleep;
    bool inside = false;
    bool suspended = false;
    bool abandoned = false;
    bool finished = false;
};
