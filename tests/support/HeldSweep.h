#pragma once
// What a window under test works on: a real settings record, status channel
// and sweep job in a temporary program directory, the job's pauses held by
// the test (HeldPauses). Members are in the order they must be built.

#include <atomic>
#include <string>

#include "config/SweepSettings.h"
#include "support/HeldPauses.h"
#include "support/TempDir.h"
#include "sweep/StatusChannel.h"
#include "sweep/SweepJob.h"

struct HeldSweep {
    HeldSweep() { pauses.Watch(job); }
    ~HeldSweep() { pauses.Open(); }
    HeldSweep(const HeldSweep&) = delete;
    HeldSweep& operator=(const HeldSweep&) = delete;

    TempDir programDir;
    SweepSettings settings;
    StatusChannel channel;
    std::atomic<bool> silentMode{false};
    HeldPauses pauses;
    SweepJob job{settings, channel, silentMode, SweepJob::SystemNow, pauses.Sleeper()};
};

// The status line's summary of a sweep that ended with `outcome`.
inline std::string Summary(const char* outcome, int found, int deleted) {
    return std::string(outcome) + "! 共搜索到" + std::to_string(found) + "个文件，删除了" + std::to_string(deleted) +
           "个文件";
}
