#pragma once
// What each worker of a sweep keeps for itself while it walks.

#include <cstddef>
#include <string>

#include "sweep/PatternMatcher.h"
#include "sweep/SweepJob.h"

struct SweepJob::Walk {
    explicit Walk(const PatternMatcher& matcher) : matches(matcher) {}

    // The directory or entry being looked at, as the texts show it, and its
    // length as the path limit counts it (platform::NameBytes).
    std::string path;
    size_t pathBytes = 0;
    NameMatch matches;
};
