#include "sweep/WorkerThread.h"

#include <chrono>
#include <utility>

WorkerThread::WorkerThread(Sleeper sleep) : sleep(std::move(sleep)) {}

WorkerThread::~WorkerThread() { Stop(ExitWaitMillis); }

void WorkerThread::RealSleep(int millis) { std::this_thread::sleep_for(std::chrono::milliseconds(millis)); }

// Each thread owns its gate: after an abandonment only the gate is touched.
// A run that threw never ended itself (a silent run waiting for its end
// would wait for ever); a helper that threw is reported to the run.
void WorkerThread::Serve(WorkerThread* self, std::shared_ptr<WorkerGate> gate, bool helper) {
    if (gate->Enter()) {
        try {
            helper ? self->RunHelper() : self->Run();
        } catch (...) {
            if (gate->Enter()) helper ? self->HelperFailed() : self->EndFailedRun();
        }
    }
    gate->Finish();
}

void WorkerThread::Start() {
    if (running) return;
    // A run that ended by itself may not have left its threads yet; they
    // have nothing more to do than return, so waiting for them is short.
    JoinThreads();
    done.Reset();
    running = true;
    failed = false;
    const int helpers = Helpers();
    try {
        PrepareRun();
        gate = std::make_shared<WorkerGate>(sleep, 1 + helpers);
        std::lock_guard hold(threadsMutex);
        threads.emplace_back(Serve, this, gate, false);
    } catch (...) {
        // The run could not begin (no room for its copies, no thread): it failed.
        gate.reset();
        EndFailedRun();
        return;
    }
    StartHelpers(helpers);
}

// Every helper is counted from the start, so that a wait for the end never
// misses one whose thread is still being made; one that cannot be made is
// done without.
void WorkerThread::StartHelpers(int helpers) {
    std::lock_guard hold(threadsMutex);
    for (int made = 0; made < helpers; ++made) {
        try {
            threads.emplace_back(Serve, this, gate, true);
        } catch (...) {
            for (; made < helpers; ++made) gate->DropWorker();
        }
    }
}

// Counted before its thread exists, as those of the start are.
bool WorkerThread::AddHelper() {
    if (!gate->AddWorker()) return false;
    try {
        std::lock_guard hold(threadsMutex);
        threads.emplace_back(Serve, this, gate, true);
    } catch (...) {
        gate->DropWorker();
        return false;
    }
    return true;
}

std::vector<std::thread> WorkerThread::TakeThreads() {
    std::lock_guard hold(threadsMutex);
    return std::exchange(threads, {});
}

void WorkerThread::JoinThreads() {
    for (std::thread& thread : TakeThreads()) thread.join();
}

// Whatever the report meets, the end is signalled: a silent run waits for it.
void WorkerThread::EndFailedRun() {
    failed = true;
    try {
        ReportFailure();
    } catch (...) {
    }
    EndRun();
}

void WorkerThread::RequestStop() { running = false; }

// The end's signal is cleared before the run is told to stop: a run that
// ends at the request then signals after it, never before.
void WorkerThread::Stop(int waitMs) {
    done.Reset();
    RequestStop();
    if (!gate) return;
    if (gate->WaitFinished(waitMs) || !gate->Abandon()) {
        JoinThreads();
    } else {
        Interrupt();
        for (std::thread& thread : TakeThreads()) thread.detach();
    }
    gate.reset();
}

void WorkerThread::Suspend() {
    if (gate) gate->Suspend();
}

void WorkerThread::Resume() {
    if (gate) gate->Resume();
}

bool WorkerThread::WaitDone(int timeoutMs) { return done.Wait(timeoutMs); }

bool WorkerThread::IsRunning() const { return running; }

void WorkerThread::Run() { done.Set(); }

void WorkerThread::EndRun() {
    running = false;
    done.Set();
}

bool WorkerThread::AwaitHelpers() {
    return Outside([own = gate.get()] { own->WaitOthersFinished(); });
}

bool WorkerThread::SafePoint() { return gate->SafePoint(); }

bool WorkerThread::Pause(int millis) { return gate->Pause(millis); }
