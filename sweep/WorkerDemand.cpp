#include "sweep/WorkerDemand.h"

void WorkerDemand::Measure(WorkerTimes now) {
    if (!started) {
        start = now;
        started = true;
        return;
    }
    const int64_t period = now.wall - start.wall;
    if (period < MinPeriodNanos) return;
    wall = period;
    processor = now.processor - start.processor;
    blocked = period - processor - (now.waitingForProcessor - start.waitingForProcessor);
    start = now;
}

bool WorkerDemand::WantsMore(int workers, int processors) const {
    return Blocked() && workers * processor < processors * wall;
}
