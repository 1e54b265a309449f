#pragma once
// Whether the calls of a worker block: judged from its own times, period by
// period. A worker that spends most of a period off the processor inside its
// calls leaves its processor idle, so one more worker would overlap one more
// call without taking processor time from the others (as a scheduler hands a
// processor to a new thread while the old one is blocked in a call). One
// object per worker; nothing shared.

#include <cstdint>

#include "sweep/WalkVisitor.h"

class WorkerDemand {
public:
    // Shorter periods are pooled with the next: too short to tell a blocking
    // call from a moment of waiting for a processor.
    static constexpr int64_t MinPeriodNanos = 5'000'000;

    // The worker's times now. The first reading only starts the first period.
    void Measure(WorkerTimes now);
    // The verdict of the last whole period: more than half of it spent off
    // the processor. False until a period is whole.
    bool Blocked() const { return blocked; }

private:
    WorkerTimes start{};
    bool started = false;
    bool blocked = false;
};
