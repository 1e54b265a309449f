#include "sweep/WorkerThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "sweep/WorkerGate.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int LongWaitMillis = 10000;

template <class Predicate>
bool Eventually(Predicate predicate) {
    const auto limit = Clock::now() + std::chrono::milliseconds(LongWaitMillis);
    while (!predicate()) {
        if (Clock::now() > limit) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// Steps until stopped, pausing a millisecond between steps; or, with a
// limit, ends by itself after that many steps, its thread lingering for
// `linger` after the end of the run.
class StepWorker : public WorkerThread {
public:
    explicit StepWorker(int limit = -1, std::chrono::milliseconds linger = 0ms) : limit(limit), linger(linger) {}
    ~StepWorker() override { Stop(ExitWaitMillis); }

    std::atomic<int> steps{0};
    std::atomic<int> runs{0};
    std::atomic<bool> throwNow{false};

protected:
    void Run() override {
        ++runs;
        while (IsRunning() && steps != limit) {
            if (throwNow) throw std::runtime_error("from the run");
            ++steps;
            if (!SafePoint() || !Pause(1)) return;
        }
        EndRun();
        std::this_thread::sleep_for(linger);
    }

private:
    const int limit;
    const std::chrono::milliseconds linger;
};

// A call that blocks until the test lets it go, like a system call on a
// file server that stopped answering.
struct Hang {
    std::mutex mutex;
    std::condition_variable changed;
    int entered = 0;
    bool released = false;
    int returned = 0;

    void Block() {
        std::unique_lock hold(mutex);
        ++entered;
        changed.notify_all();
        changed.wait(hold, [this] { return released; });
        ++returned;
        changed.notify_all();
    }
    template <class Predicate>
    void WaitFor(Predicate predicate) {
        std::unique_lock hold(mutex);
        changed.wait(hold, predicate);
    }
    void Release() {
        std::lock_guard hold(mutex);
        released = true;
        changed.notify_all();
    }
};

class HangingWorker : public WorkerThread {
public:
    explicit HangingWorker(std::shared_ptr<Hang> hang) : hang(std::move(hang)) {}
    ~HangingWorker() override { Stop(ExitWaitMillis); }

    bool afterCall = false;

protected:
    void Run() override {
        std::shared_ptr<Hang> own = hang;  // the thread's own share
        if (!Outside([own] { own->Block(); })) return;
        afterCall = true;
        EndRun();
    }

private:
    std::shared_ptr<Hang> hang;
};

// Adds three helpers as it runs; each steps, as the run does, until stopped.
class GrowingWorker : public WorkerThread {
public:
    ~GrowingWorker() override { Stop(ExitWaitMillis); }

    std::atomic<int> added{0};
    std::atomic<int> helperSteps{0};
    std::atomic<int> helpersLeft{0};
    std::atomic<int> helpersLeftAtEnd{-1};

protected:
    void Run() override {
        for (int helper = 0; helper < 3; ++helper) added += AddHelper();
        while (IsRunning())
            if (!SafePoint() || !Pause(1)) return;
        if (!AwaitHelpers()) return;
        helpersLeftAtEnd = helpersLeft.load();
        EndRun();
    }
    void RunHelper() override {
        for (; IsRunning(); ++helperSteps)
            if (!SafePoint() || !Pause(1)) return;
        ++helpersLeft;
    }
};

TEST(WorkerThreadTest, HelpersAddedDuringARunArePausedStoppedAndAwaitedWithIt) {
    GrowingWorker worker;
    worker.Start();
    ASSERT_TRUE(Eventually([&] { return worker.added == 3 && worker.helperSteps > 0; }));
    worker.Suspend();
    std::this_thread::sleep_for(20ms);
    const int halted = worker.helperSteps;
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(worker.helperSteps, halted);
    worker.Resume();
    EXPECT_TRUE(Eventually([&] { return worker.helperSteps > halted; }));
    worker.Stop(LongWaitMillis);
    EXPECT_TRUE(worker.WaitDone(0));
    EXPECT_EQ(worker.helpersLeftAtEnd, 3);
}

TEST(WorkerThreadTest, StopWhileRunningEndsTheRunWithinTheWait) {
    StepWorker worker;
    worker.Start();
    ASSERT_TRUE(Eventually([&] { return worker.steps > 0; }));
    const auto start = Clock::now();
    worker.Stop(LongWaitMillis);
    EXPECT_LT(Clock::now() - start, 2s);
    EXPECT_FALSE(worker.IsRunning());
    EXPECT_TRUE(worker.WaitDone(0));  // the run reached its end during the wait
}

// Holds at a latch inside the gate, then makes one call outside it.
class CallingWorker : public WorkerThread {
public:
    ~CallingWorker() override { Stop(ExitWaitMillis); }

    std::atomic<bool> atLatch{false}, released{false};
    const std::shared_ptr<std::atomic<int>> calls = std::make_shared<std::atomic<int>>(0);

protected:
    void Run() override {
        atLatch = true;
        while (!released) std::this_thread::yield();
        if (Outside([calls = calls] { ++*calls; })) EndRun();
    }
};

// A call that would begin while the run is suspended waits for Resume.
TEST(WorkerThreadTest, CallOutsideWaitsWhileSuspended) {
    CallingWorker worker;
    worker.Start();
    ASSERT_TRUE(Eventually([&] { return worker.atLatch.load(); }));
    worker.Suspend();
    worker.released = true;
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(*worker.calls, 0);
    worker.Resume();
    EXPECT_TRUE(Eventually([&] { return *worker.calls == 1; }));
}

TEST(WorkerThreadTest, WaitDoneAfterARunThatEndedByItself) {
    StepWorker worker(3);
    EXPECT_FALSE(worker.WaitDone(0));
    worker.Start();
    EXPECT_TRUE(worker.WaitDone(WorkerThread::WaitForever));
    EXPECT_TRUE(worker.WaitDone(0));
    EXPECT_FALSE(worker.IsRunning());
    EXPECT_EQ(worker.steps, 3);
}

TEST(WorkerThreadTest, StartWhileRunningMakesNoSecondThread) {
    StepWorker worker;
    worker.Start();
    worker.Start();
    ASSERT_TRUE(Eventually([&] { return worker.steps > 0; }));
    worker.Start();
    worker.Stop(LongWaitMillis);
    EXPECT_EQ(worker.runs, 1);
    worker.Start();
    ASSERT_TRUE(Eventually([&] { return worker.runs == 2; }));
}

TEST(WorkerThreadTest, RestartAfterARunEndedByItselfEvenBeforeItsThreadHasLeft) {
    StepWorker worker(2, 50ms);
    for (int run = 1; run <= 2; ++run) {
        worker.Start();
        ASSERT_TRUE(worker.WaitDone(LongWaitMillis));
        EXPECT_EQ(worker.runs, run);
    }
}

TEST(WorkerThreadTest, ExceptionLeavingRunClearsTheFlagAndSignalsTheEnd) {
    StepWorker worker;
    worker.throwNow = true;
    worker.Start();
    EXPECT_TRUE(worker.WaitDone(LongWaitMillis));
    EXPECT_FALSE(worker.IsRunning());
}

TEST(WorkerThreadTest, IdleObjectIgnoresControls) {
    StepWorker worker;
    worker.Suspend();
    worker.Resume();
    worker.Stop(LongWaitMillis);
    EXPECT_FALSE(worker.IsRunning());
    EXPECT_FALSE(worker.WaitDone(0));
    worker.Start();
    EXPECT_TRUE(Eventually([&] { return worker.steps > 0; }));  // not left suspended
}

TEST(WorkerThreadTest, DestroyingASuspendedWorkerWaitsHalfASecond) {
    auto worker = std::make_unique<StepWorker>();
    worker->Start();
    ASSERT_TRUE(Eventually([&] { return worker->steps > 0; }));
    worker->Suspend();
    const auto start = Clock::now();
    worker.reset();
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(WorkerThread::ExitWaitMillis));
}

// The object is gone while its thread still hangs in a call; once the call
// returns, the thread must not touch it (the sanitizers would see it).
TEST(WorkerThreadTest, WorkerStuckInACallIsAbandonedAndNeverTouchesItsObjectAgain) {
    auto hang = std::make_shared<Hang>();
    auto worker = std::make_unique<HangingWorker>(hang);
    worker->Start();
    hang->WaitFor([&] { return hang->entered == 1; });
    const auto start = Clock::now();
    worker->Stop(200);
    EXPECT_GE(Clock::now() - start, 200ms);
    EXPECT_FALSE(worker->WaitDone(0));
    worker->Start();  // a new run may begin at once: it hangs as well
    hang->WaitFor([&] { return hang->entered == 2; });
    worker.reset();
    hang->Release();
    hang->WaitFor([&] { return hang->returned == 2; });
    std::this_thread::sleep_for(50ms);
}

// A run whose helper hangs in a call, its first thread waiting for that
// helper: abandoned, the first thread ends all the same (its end is seen on
// a flag of the thread's own, not on the object).
class HangingHelperWorker : public WorkerThread {
public:
    HangingHelperWorker(std::shared_ptr<Hang> hang, std::shared_ptr<std::atomic<bool>> left)
        : hang(std::move(hang)), left(std::move(left)) {}
    ~HangingHelperWorker() override { Stop(ExitWaitMillis); }

protected:
    int Helpers() const override { return 1; }
    void Run() override {
        std::shared_ptr<std::atomic<bool>> own = left;
        if (!AwaitHelpers()) {
            *own = true;
            return;
        }
        EndRun();
    }
    void RunHelper() override {
        std::shared_ptr<Hang> own = hang;
        Outside([own] { own->Block(); });
    }

private:
    std::shared_ptr<Hang> hang;
    std::shared_ptr<std::atomic<bool>> left;
};

TEST(WorkerThreadTest, RunWaitingForAHelperStuckInACallEndsWhenAbandoned) {
    auto hang = std::make_shared<Hang>();
    auto left = std::make_shared<std::atomic<bool>>(false);
    auto worker = std::make_unique<HangingHelperWorker>(hang, left);
    worker->Start();
    hang->WaitFor([&] { return hang->entered == 1; });
    worker->Stop(200);
    worker.reset();
    EXPECT_TRUE(Eventually([&] { return left->load(); }));
    hang->Release();
    hang->WaitFor([&] { return hang->returned == 1; });
    std::this_thread::sleep_for(50ms);
}

// A stop that came too late to abandon anyone joins the threads rather than
// leaving them behind, so the gate must tell the two apart.
TEST(WorkerGateTest, AbandonSaysWhetherAnyWorkerWasStillWorking) {
    for (int left : {0, 1}) {
        WorkerGate gate([](int) {}, 1 + left);
        gate.Finish();
        EXPECT_EQ(gate.Abandon(), left > 0) << left << " left";
    }
}

}  // namespace
