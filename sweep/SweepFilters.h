#pragma once
// The tests a file whose name matched must pass before it is deleted, read
// from the settings anew for every file: a change saved during a run applies
// to the rest of it.

#include <cstdint>

class SweepSettings;

struct SweepFilters {
    static constexpr int64_t SecondsPerDay = 86400;

    static SweepFilters Read(const SweepSettings& settings);

    // The attributes that spare a file; finding them costs system calls,
    // so only these are asked for.
    uint32_t SparedAttributes() const;
    // Whole days from the last write to the start of the run, truncated
    // toward zero: a file written after the start is 0 days old. A limit of
    // 0 lets every file through.
    bool OldEnough(int64_t lastWrite, int64_t startTime) const;

    bool system = false;
    bool readonly = false;
    bool hidden = false;
    int expiredays = 0;
};
