#pragma once
// The pauses of a sweep under test. Each pause waits until the test lets it
// go, or until the job is asked to stop, so a test decides exactly where a
// running sweep stands: held in its first pause it has deleted one file.

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>

#include "sweep/WorkerThread.h"

class HeldPauses {
public:
    // The state outlives the job: a worker abandoned inside a pause still finds it.
    WorkerThread::Sleeper Sleeper() const {
        return [state = state](int) { state->Wait(); };
    }
    // Pauses end as soon as `job` stops running.
    void Watch(const WorkerThread& job) { state->job = &job; }

    // Waits (without serving the window's events) until a pause is held.
    bool WaitUntilHeld(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        std::unique_lock lock(state->mutex);
        return state->changed.wait_for(lock, limit, [this] { return state->held > 0; });
    }
    int Held() const {
        std::lock_guard lock(state->mutex);
        return state->held;
    }
    // Lets every pause, present and future, pass at once.
    void Open() {
        std::lock_guard lock(state->mutex);
        state->open = true;
        state->changed.notify_all();
    }
    // Makes every pause from now on throw, as a fault inside the sweep would.
    void Fail() {
        std::lock_guard lock(state->mutex);
        state->failing = true;
    }

private:
    struct State {
        void Wait() {
            std::unique_lock lock(mutex);
            if (failing) throw std::runtime_error("a fault inside the sweep");
            ++held;
            changed.notify_all();
            // Polled: the job's flag has no condition of its own to wait on.
            while (!open && job->IsRunning()) changed.wait_for(lock, std::chrono::milliseconds(2));
            --held;
        }

        mutable std::mutex mutex;
        std::condition_variable changed;
        const WorkerThread* job = nullptr;
        int held = 0;
        bool open = false;
        bool failing = false;
    };

    std::shared_ptr<State> state = std::make_shared<State>();
};
