#pragma once
// The console twin of the window program, for Windows only: vorn.com beside
// vorn.exe. vorn.exe is a window program, so cmd and PowerShell neither wait
// for it nor learn its exit status; typed as "vorn", the name finds vorn.com
// first (PATHEXT lists .COM before .EXE), a console program that they do
// wait for.

#include <optional>
#include <string>

namespace platform {

// Starts the program of this one's name with the .exe extension, from this
// one's folder, with this one's arguments and standard handles, and waits
// for it to end. A Ctrl+C, Ctrl+Break or the closing of the console is
// passed on to it as a stop (StopRequests.h) instead of ending this process
// alone. Its exit status; none when it could not be started, `program` then
// naming it (UTF-8).
std::optional<int> RunWindowTwin(std::string& program);

}  // namespace platform
