#pragma once
// A silent run's outcome as a text file for Prometheus' node_exporter, whose
// textfile collector reads every *.prom file in its folder: gauges in base
// units, one label naming the settings file, no timestamps.

#include <array>
#include <cstdint>
#include <string>

#include "sweep/OutcomeTally.h"
#include "sweep/SweepJob.h"

struct RunRecord {
    int status = 0;            // the exit status
    int64_t endTime = 0;       // seconds since 1970-01-01 UTC
    double durationSeconds = 0;
    SweepCounts counts;
    std::array<uint64_t, OutcomeTally::OutcomeCount> outcomes{};  // by EntryOutcome
    SweepShortfalls shortfalls;
};

// The settings file's name without its folder and extension:
// "/opt/vorn/vorn.ini" gives "vorn", "/etc/vorn/web.ini" "web". It names the
// metrics file (with ".prom") and is the value of its label.
std::string MetricsName(const std::string& settingsPath);

// The file's text. `lastSuccess` is when the last run that ended with status
// 0 ended, this one included; 0 when none has.
std::string MetricsText(const RunRecord& run, int64_t lastSuccess, const std::string& name);

// The last success a previous file's text holds; 0 when it holds none.
int64_t LastSuccessIn(const std::string& text);
