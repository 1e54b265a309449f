// Whether a walk wants one more worker, from readings of a worker's clocks.

#include "sweep/WorkerDemand.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int64_t Ms = 1'000'000;

TEST(WorkerDemand, MoreWhileMostOfAWholePeriodWasBlockedAndTheProcessorsAreNotFilled) {
    const struct {
        const char* what;
        std::vector<WorkerTimes> readings;  // {wall, processor, waiting for one}
        int workers, processors;
        std::vector<bool> wanted;  // after each reading from the second
    } cases[] = {
        {"mostly blocked", {{0, 0}, {10 * Ms, 1 * Ms}}, 2, 2, {true}},
        {"just over half blocked", {{0, 0}, {10 * Ms, 4 * Ms}}, 2, 2, {true}},
        {"half blocked is not most", {{0, 0}, {10 * Ms, 5 * Ms}}, 2, 2, {false}},
        {"on the processor throughout", {{0, 0}, {10 * Ms, 10 * Ms}}, 1, 2, {false}},
        {"waiting for a processor is not blocked", {{0, 0, 0}, {10 * Ms, 1 * Ms, 5 * Ms}}, 2, 2, {false}},
        {"blocked beside some waiting", {{0, 0, 0}, {10 * Ms, 1 * Ms, 3 * Ms}}, 2, 2, {true}},
        // Waiting for a processor is no demand on one: 19 workers a twentieth on one leave room.
        {"waiting is not demand", {{0, 0, 0}, {10 * Ms, Ms / 2, 4 * Ms}}, 19, 2, {true}},
        // Busy a tenth of their time, 20 workers fill 2 processors.
        {"19 workers a tenth busy leave room", {{0, 0}, {10 * Ms, 1 * Ms}}, 19, 2, {true}},
        {"20 workers a tenth busy fill two processors", {{0, 0}, {10 * Ms, 1 * Ms}}, 20, 2, {false}},
        {"a third busy: 3 on one processor, not 4", {{0, 0}, {30 * Ms, 10 * Ms}}, 2, 1, {true}},
        {"a third busy: 3 fill one processor", {{0, 0}, {30 * Ms, 10 * Ms}}, 3, 1, {false}},
        {"short periods pooled until whole", {{0, 0}, {2 * Ms, 0}, {4 * Ms, 0}, {6 * Ms, 0}}, 2, 2,
         {false, false, true}},
        {"a short period does not undo a verdict", {{0, 0}, {10 * Ms, 0}, {11 * Ms, 1 * Ms}}, 2, 2, {true, true}},
        {"calls that stop blocking", {{0, 0}, {10 * Ms, 1 * Ms}, {20 * Ms, 10 * Ms}}, 2, 2, {true, false}},
        {"calls that start blocking", {{0, 0}, {10 * Ms, 9 * Ms}, {20 * Ms, 10 * Ms}}, 2, 2, {false, true}},
        {"measured from the first reading", {{100 * Ms, 90 * Ms}, {110 * Ms, 91 * Ms}}, 2, 2, {true}},
    };
    for (const auto& c : cases) {
        WorkerDemand demand;
        demand.Measure(c.readings.front());
        EXPECT_FALSE(demand.WantsMore(c.workers, c.processors)) << c.what;
        for (size_t i = 1; i < c.readings.size(); ++i) {
            demand.Measure(c.readings[i]);
            EXPECT_EQ(demand.WantsMore(c.workers, c.processors), c.wanted[i - 1]) << c.what << ", reading " << i;
        }
    }
}

}  // namespace
