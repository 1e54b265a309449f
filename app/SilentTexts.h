#pragma once
// The lines a silent run writes beside its summary, for a scheduler's log.

#include <string>
#include <vector>

#include "platform/InstanceGuard.h"

struct SweepShortfalls;

// What the sweep should have done and could not, in one line; the summary's
// own words stay as they are.
std::string ShortfallText(const SweepShortfalls& shortfalls);

// Why the single-instance guard has nowhere to live, naming each place.
std::string GuardProblemText(const std::vector<platform::GuardPlaceProblem>& problems);

// What "vorn /?" prints: the forms, where the settings are kept by default
// (`defaultPath`, when known) and the exit statuses.
std::string UsageText(const std::string& defaultPath);

// Why the path after "/ini:" cannot name one file wherever the program runs.
std::string UnusablePathText(const std::string& path);
