#pragma once
// What start-up needs to know about the running process.

#include <cstdint>
#include <string>

namespace platform {

// The executable's full path; empty when the system cannot tell.
std::string ExecutablePath();

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

// A token that only one process of the user running it (of the session on
// Windows) can hold at a time, and that no other user can take or block;
// released by the operating system however the holder ends (crash or kill
// included), never decided by a file left behind.
class InstanceGuard {
public:
    explicit InstanceGuard(const char* name);
    InstanceGuard(const InstanceGuard&) = delete;
    InstanceGuard& operator=(const InstanceGuard&) = delete;
    ~InstanceGuard();

    // Waits at most `waitMs` milliseconds to take the token. Once taken it is
    // held until the process ends.
    bool Acquire(int waitMs);

private:
    std::string name;
    intptr_t handle = -1;
};

}  // namespace platform
