#pragma once
// What start-up needs to know about the running process.

#include <string>

namespace platform {

// The executable's full path; empty when the system cannot tell.
std::string ExecutablePath();

// True when a window can be shown: a display server the window framework
// would use answers a connection (a name in the environment is not enough),
// or the framework draws without one; on Windows, the process's window
// station is visible (a scheduled task running as a service account has one
// nobody sees).
bool HasDisplay();

}  // namespace platform
