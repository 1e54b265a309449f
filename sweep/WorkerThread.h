#pragma once
// Runs the virtual Run on a thread of its own, and RunHelper on as many
// helper threads as Helpers asks for and the run adds (AddHelper), which a
// controlling thread starts, suspends, resumes, stops and awaits together.
//
// No thread can be suspended or killed safely at an arbitrary point, so the
// worker pauses and ends only at its own safe points (see WorkerGate): Run
// calls SafePoint between steps, does its pauses through Pause and every call
// that may block through Outside. Stop clears the running flag and waits; a
// worker that has not ended by then (it is suspended, or stuck in a call) is
// abandoned: it unwinds from its next safe point without ending its run and
// without touching this object again.

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "sweep/ManualResetEvent.h"
#include "sweep/WorkerGate.h"

class WorkerThread {
public:
    using Sleeper = WorkerGate::Sleeper;

    static constexpr int WaitForever = -1;
    // How long destruction lets a running worker end by itself.
    static constexpr int ExitWaitMillis = 500;

    static void RealSleep(int millis);

    // `sleep` makes the pauses; by default the thread really sleeps.
    explicit WorkerThread(Sleeper sleep = RealSleep);
    virtual ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Does nothing while a thread of this object still runs. A run that
    // cannot begin (no thread can be made) ends at once, as failed.
    void Start();
    // Clears the running flag and gives the threads `waitMs` to end by
    // themselves; then abandons them. Never waits longer than that for a call
    // that hangs.
    void Stop(int waitMs);
    // Only the first step of Stop: the run ends at its next check of the
    // running flag, and nothing waits for it. Safe from any thread.
    void RequestStop();
    void Suspend();
    void Resume();
    // True when a run reached its end within `timeoutMs` (WaitForever: no limit).
    bool WaitDone(int timeoutMs);
    bool IsRunning() const;
    // True when an exception left the last run, or it could not begin.
    bool RunFailed() const { return failed; }

protected:
    // On the controlling thread, in Start, before the thread exists: where a
    // run copies what the controller may change while it runs.
    virtual void PrepareRun() {}
    // The work, on the worker thread. This version only signals the end.
    virtual void Run();
    // How many helper threads a run gets beside the first, and their work.
    // A helper that cannot be made is done without; one that throws is
    // reported through HelperFailed. Run alone ends the run.
    virtual int Helpers() const { return 0; }
    virtual void RunHelper() {}
    virtual void HelperFailed() {}
    // Once a run's threads are abandoned: wake those that wait, outside, for
    // something of this object's making, so that they can end.
    virtual void Interrupt() {}
    // When a run failed, just before its end is signalled.
    virtual void ReportFailure() {}
    // For the end of a run: clears the running flag, then signals the end.
    void EndRun();
    // The same for a run that failed: reported first.
    void EndFailedRun();

    // From any worker of the run, inside: one more helper, which the
    // controls cover like the others and Run awaits like them. False when
    // its thread cannot be made, or the run's workers are abandoned.
    bool AddHelper();

    // The four below return false once the workers have been abandoned; Run
    // and RunHelper must then return at once, touching nothing of this object.
    // From Run: waits until every helper has ended (they must be on their
    // way), so that nothing of the run is left when it ends.
    bool AwaitHelpers();
    bool SafePoint();
    bool Pause(int millis);
    // Runs `call`, which may block for long, outside; it must touch nothing
    // of this object (locals and what the thread owns only).
    template <class Call>
    bool Outside(Call&& call) {
        WorkerGate& own = *gate;
        if (!own.Leave()) return false;
        call();
        return own.Enter();
    }

private:
    // A thread's life: Run, or RunHelper for a helper.
    static void Serve(WorkerThread* self, std::shared_ptr<WorkerGate> gate, bool helper);
    void StartHelpers(int helpers);
    // Takes the threads out of `threads`, for the controller to join or detach.
    std::vector<std::thread> TakeThreads();
    void JoinThreads();

    std::atomic<bool> running{false};
    std::atomic<bool> failed{false};
    // Workers add helpers while the controller may look: guarded.
    std::mutex threadsMutex;
    std::vector<std::thread> threads;  // the first runs Run
    std::shared_ptr<WorkerGate> gate;
    ManualResetEvent done;
    const Sleeper sleep;
};
