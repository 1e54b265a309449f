#pragma once
// The event a silent run leaves in the Windows Event Log for each way it can
// end. The ids are those of res/events.mc, the message table compiled into
// vorn.exe; README.txt lists them.

#include <cstdint>

#include "app/ExitStatus.h"
#include "platform/EventLog.h"

struct RunEvent {
    platform::EventLevel level;
    uint32_t id;
};

inline constexpr uint32_t FirstRunEventId = 1000;
inline constexpr uint32_t LastRunEventId = 1008;

// Information for a sweep that ran to its end; a warning for one that left
// work undone, was stopped or did not start because another instance runs;
// an error for everything that kept it from sweeping.
RunEvent EventFor(ExitStatus status);
