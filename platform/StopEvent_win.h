#pragma once
// Between the console launcher and the program it starts, for the Windows
// sources only: the event through which the launcher asks that program to
// stop. It is named after the program's process, and without a namespace
// prefix, so it is the session's own.

#include <string>

namespace platform {

std::wstring StopEventName(unsigned long processId);

}  // namespace platform
