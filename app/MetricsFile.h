#pragma once
// The metrics file a silent run leaves for node_exporter when it ends.

#include <string>

#include "app/RunMetrics.h"

// Writes <folder>/<MetricsName(settingsPath)>.prom for `run` in one step,
// with the last success of the file it replaces when `run` did not succeed.
// Returns the line to print on standard error when the file could not be
// written; nothing when it was, or when `folder` does not exist (no
// collector on this machine).
std::string PublishRunMetrics(const std::string& folder, const std::string& settingsPath, const RunRecord& run);
