#pragma once
// What start-up needs to know about the running process.

#include <string>
#include <vector>

namespace platform {

// The executable's full path; empty when the system cannot tell.
std::string ExecutablePath();

// The arguments the process was started with, without its name, in UTF-8:
// on Windows as the system split its command line, so that a path the ANSI
// code page cannot spell stays whole; elsewhere `argv` as it is.
std::vector<std::string> Arguments(int argc, char** argv);

// Replaces this process by the program at `path`, given `argv` as it is
// (null-terminated) and the same environment; its descriptors closed on
// exec (the instance guard's among them) are let go. Returns only when that
// program cannot be started. POSIX only: on Windows the one program holds
// its window itself.
void ReplaceProcess(const std::string& path, char** argv);

// True when a window can be shown: a display server the window framework
// would use answers a connection (a name in the environment is not enough),
// or the framework draws without one; on Windows, the process's window
// station is visible (a scheduled task running as a service account has one
// nobody sees).
bool HasDisplay();

// True when the console launcher (vorn.com, platform/ConsoleLauncher.h)
// started this process: a console or a scheduler waits for its status, and
// nobody may be there to answer a box. Never so on POSIX, which has none.
bool StartedByConsoleLauncher();

// The processors this process may run on (its affinity, as `nproc` counts
// them), at least 1.
int ProcessorCount();

}  // namespace platform
