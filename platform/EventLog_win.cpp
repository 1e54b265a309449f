#include "platform/EventLog.h"

#include <windows.h>

#include "platform/WideText_win.h"

namespace platform {

namespace {

constexpr const wchar_t* SourceName = L"VORN";

WORD EventType(EventLevel level) {
    switch (level) {
    case EventLevel::Information: return EVENTLOG_INFORMATION_TYPE;
    case EventLevel::Warning: return EVENTLOG_WARNING_TYPE;
    case EventLevel::Error: return EVENTLOG_ERROR_TYPE;
    }
    return EVENTLOG_ERROR_TYPE;
}

}  // namespace

// The Application log takes events of a source nobody registered as well;
// registering it only adds the message file, the way Event Viewer finds the
// words around the text.
void LogEvent(EventLevel level, uint32_t id, const std::string& text) {
    const HANDLE log = RegisterEventSourceW(nullptr, SourceName);
    if (!log) return;
    const std::wstring wide = Widen(text);
    const wchar_t* strings[] = {wide.c_str()};
    ReportEventW(log, EventType(level), 0, id, nullptr, 1, 0, strings, nullptr);
    DeregisterEventSource(log);
}

}  // namespace platform
