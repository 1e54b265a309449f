#pragma once
// Whether a walk should have one more worker, judged from the times of the
// worker that asks, period by period. A worker blocked in its calls (off
// the processor and not waiting for one: a busy machine is no reason for
// more workers) leaves its processor idle; while a worker is blocked for a
// share b of its time, 1 / (1 - b) workers keep one processor busy, as a
// scheduler hands a processor to a new thread while the old one is blocked
// in a call. So one more worker is wanted while most of the worker's time is
// blocked and the workers, each busy for 1 - b of its time, do not yet fill
// the processors. One object per worker; nothing shared.

#include <cstdint>

#include "sweep/WalkVisitor.h"

class WorkerDemand {
public:
    // Shorter periods are pooled with the next: too short to judge.
    static constexpr int64_t MinPeriodNanos = 5'000'000;

    // The worker's times now. The first reading only starts the first period.
    void Measure(WorkerTimes now);
    // From the last whole period (none: false): whether `workers` workers
    // blocked as this one was leave some of `processors` idle, and this one
    // was blocked for more than half of it.
    bool WantsMore(int workers, int processors) const;
    // Blocked for more than half of the last whole period.
    bool Blocked() const { return 2 * blocked > wall; }

private:
    WorkerTimes start{};
    bool started = false;
    int64_t wall = 0;     // of the last whole period
    int64_t blocked = 0;  // of which blocked
};
