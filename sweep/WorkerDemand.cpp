#include "sweep/WorkerDemand.h"

void WorkerDemand::Measure(WorkerTimes now) {
    if (!started) {
        start = now;
        started = true;
        return;
    }
    const int64_t wall = now.wall - start.wall;
    if (wall < MinPeriodNanos) return;
    const int64_t off = wall - (now.processor - start.processor);
    blocked = 2 * off > wall;
    start = now;
}
