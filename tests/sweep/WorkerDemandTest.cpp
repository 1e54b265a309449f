// Whether a worker's calls block, from readings of its clocks.

#include "sweep/WorkerDemand.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int64_t Ms = 1'000'000;

TEST(WorkerDemand, BlockedWhenMostOfAWholePeriodWasOffTheProcessor) {
    const struct {
        const char* what;
        std::vector<WorkerTimes> readings;  // the first at {0, 0}
        std::vector<bool> blocked;          // after each reading from the second
    } cases[] = {
        {"mostly off", {{0, 0}, {10 * Ms, 1 * Ms}}, {true}},
        {"just over half off", {{0, 0}, {10 * Ms, 4 * Ms}}, {true}},
        {"half off is not most", {{0, 0}, {10 * Ms, 5 * Ms}}, {false}},
        {"on the processor throughout", {{0, 0}, {10 * Ms, 10 * Ms}}, {false}},
        {"short periods pooled until whole", {{0, 0}, {2 * Ms, 0}, {4 * Ms, 0}, {6 * Ms, 0}}, {false, false, true}},
        {"a short period does not undo a verdict", {{0, 0}, {10 * Ms, 0}, {11 * Ms, 1 * Ms}}, {true, true}},
        {"calls that stop blocking", {{0, 0}, {10 * Ms, 1 * Ms}, {20 * Ms, 10 * Ms}}, {true, false}},
        {"calls that start blocking", {{0, 0}, {10 * Ms, 9 * Ms}, {20 * Ms, 10 * Ms}}, {false, true}},
        {"measured from the first reading", {{100 * Ms, 90 * Ms}, {110 * Ms, 91 * Ms}}, {true}},
    };
    for (const auto& c : cases) {
        WorkerDemand demand;
        demand.Measure(c.readings.front());
        EXPECT_FALSE(demand.Blocked()) << c.what;
        for (size_t i = 1; i < c.readings.size(); ++i) {
            demand.Measure(c.readings[i]);
            EXPECT_EQ(demand.Blocked(), c.blocked[i - 1]) << c.what << ", reading " << i;
        }
    }
}

}  // namespace
