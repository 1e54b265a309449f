#pragma once
// Whether a walk should have one more worker, judged from the times of the
// worker that asks, period by period. A worker blocked in its calls (off
// the processor and not waiting for one: a busy machine is no reason for
// more workers) leaves its processor idle; while a worker is on a processor
// for a share p of its time, 1 / p workers keep one processor busy, as a
// scheduler hands a processor to a new thread while the old one is blocked
// in a call. So one more worker is wanted while most of the worker's time is
// blocked and the workers, each on a processor for p of its time, do not
// yet fill the processors. Time spent waiting for a processor counts in
// neither: that queue grows with the workers that wake at once as answers
// come in, and says nothing of the work one more worker would add.
// One object per worker; nothing shared.

#include <cstdint>

#include "sweep/WalkVisitor.h"

class WorkerDemand {
public:
    // Shorter periods are pooled with the next: too short to judge.
    static constexpr int64_t MinPeriodNanos = 5'000'000;

    // The worker's times now. The first reading only starts the first period.
    void Measure(WorkerTimes now);
    // From the last whole period (none: false): whether `workers` workers
    // on a processor as long as this one was leave some of `processors`
    // idle, and this one was blocked for more than half of it.
    bool WantsMore(int workers, int processors) const;
    // Blocked for more than half of the last whole period.
    bool Blocked() const { return 2 * blocked > wall; }
    // A whole period has been measured.
    bool Judged() const { return wall > 0; }

private:
    WorkerTimes start{};
    bool started = false;
    int64_t wall = 0;       // of the last whole period
    int64_t blocked = 0;    // of which blocked
    int64_t processor = 0;  // of which on a processor
};
