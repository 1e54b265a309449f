#pragma once
// What each worker of a sweep keeps for itself while it walks.

#include <string>

#include "sweep/PatternMatcher.h"
#include "sweep/SweepJob.h"

struct SweepJob::Walk {
    explicit Walk(const PatternMatcher& matcher) : matches(matcher) {}

    std::string path;  // the directory or entry being looked at, as the texts show it
    NameMatch matches;
};
