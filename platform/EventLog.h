#pragma once
// The system log that monitoring reads besides a run's own lines.

#include <cstdint>
#include <string>

namespace platform {

enum class EventLevel { Information, Warning, Error };

// On Windows one event in the Application log under the source "VORN",
// with `id` (a message of the message table compiled into vorn.exe) and
// `text` as its one insertion string. Where an administrator has not
// registered the source the event is still written, and Event Viewer shows
// the text without the message file's words; a log that cannot be written
// is passed over in silence. On POSIX nothing: the journal keeps the lines.
void LogEvent(EventLevel level, uint32_t id, const std::string& text);

}  // namespace platform
