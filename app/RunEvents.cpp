#include "app/RunEvents.h"

RunEvent EventFor(ExitStatus status) {
    using Level = platform::EventLevel;
    switch (status) {
    case ExitStatus::Success: return {Level::Information, 1000};
    case ExitStatus::Incomplete: return {Level::Warning, 1001};
    case ExitStatus::Stopped: return {Level::Warning, 1002};
    case ExitStatus::NoWindow: return {Level::Error, 1003};
    case ExitStatus::RootUnreadable: return {Level::Error, 1004};
    case ExitStatus::InvalidPattern: return {Level::Error, 1005};
    case ExitStatus::SweepFailed: return {Level::Error, 1006};
    case ExitStatus::AlreadyRunning: return {Level::Warning, 1007};
    case ExitStatus::NoGuard: return {Level::Error, 1008};
    }
    return {Level::Error, 1006};
}
