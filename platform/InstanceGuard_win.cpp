#include "platform/InstanceGuard.h"

#include <windows.h>

#include "platform/WideText_win.h"

namespace platform {

// The mutex is created, or opened when another process made it, without
// being owned; a name without a namespace prefix is the session's own.
InstanceGuard::InstanceGuard(const char* name) : name(name) {
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, Widen(name).c_str());
    if (mutex) handle = reinterpret_cast<intptr_t>(mutex);
}

// Closing the handle is all: ownership ends with the process.
InstanceGuard::~InstanceGuard() {
    if (handle != -1) CloseHandle(reinterpret_cast<HANDLE>(handle));
}

// A mutex its holder left by ending is abandoned, and taken all the same.
InstanceGuard::Result InstanceGuard::Acquire(int waitMs) {
    problems.clear();
    if (handle == -1) {
        problems.push_back({name, GuardPlaceProblem::Reason::NoLock});
        return Result::Unavailable;
    }
    const DWORD result = WaitForSingleObject(reinterpret_cast<HANDLE>(handle), static_cast<DWORD>(waitMs));
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED ? Result::Acquired : Result::Held;
}

}  // namespace platform
