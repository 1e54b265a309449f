#include "sweep/WorkerThread.h"

#include <chrono>
#include <utility>

WorkerThread::WorkerThread(Sleeper sleep) : sleep(std::move(sleep)) {}

WorkerThread::~WorkerThread() { Stop(ExitWaitMillis); }

void WorkerThread::RealSleep(int millis) { std::this_thread::sleep_for(std::chrono::milliseconds(millis)); }

// The thread owns its gate: after an abandonment only the gate is touched.
void WorkerThread::Work(WorkerThread* self, std::shared_ptr<WorkerGate> gate) {
    if (gate->Enter()) {
        try {
            self->Run();
        } catch (...) {
            // A run that threw never ended itself; a silent run waiting for
            // its end would wait for ever.
            if (gate->Enter()) self->EndFailedRun();
        }
    }
    gate->Finish();
}

void WorkerThread::Start() {
    if (running) return;
    // A run that ended by itself may not have left its thread yet; that
    // thread has nothing more to do than return, so waiting for it is short.
    if (thread.joinable()) thread.join();
    done.Reset();
    running = true;
    failed = false;
    try {
        PrepareRun();
        gate = std::make_shared<WorkerGate>(sleep);
        thread = std::thread(Work, this, gate);
    } catch (...) {
        // The run could not begin (no room for its copies, no thread): it failed.
        gate.reset();
        EndFailedRun();
    }
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

void WorkerThread::Stop(int waitMs) {
    RequestStop();
    done.Reset();
    if (!thread.joinable()) return;
    if (gate->WaitFinished(waitMs) || !gate->Abandon())
        thread.join();
    else
        thread.detach();
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

bool WorkerThread::SafePoint() { return gate->Enter(); }

bool WorkerThread::Pause(int millis) { return gate->Pause(millis); }
