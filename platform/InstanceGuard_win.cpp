#include "platform/InstanceGuard.h"

#include <windows.h>

#include "platform/WideText_win.h"

namespace platform {

// The mutex is created, or opened when another process made it, without
// being owned; a name without a namespace prefix is the session's own.
InstanceGuard::InstanceGuard(const char* name) : name(name) {
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, Widen(name).c_str());
    if (mutex) handles.push_back(reinterpret_cast<intptr_t>(mutex));
}

// Closing the handle is all: ownership ends with the process.
InstanceGuard::~InstanceGuard() {
    for (const intptr_t handle : handles) CloseHandle(reinterpret_cast<HANDLE>(handle));
}

// A mutex its holder left by ending is abandoned, and taken all the same.
InstanceGuard::Result InstanceGuard::Acquire(int waitMs) {
    problems.clear();
    if (handles.empty()) {
        problems.push_back({name, GuardPlaceProblem::Reason::NoLock});
        return Result::Unavailable;
    }
    const DWORD result = WaitForSingleObject(reinterpret_cast<HANDLE>(handles[0]), static_cast<DWORD>(waitMs));
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED ? Result::Acquired : Result::Held;
}

// Opened for no access at all, so that a file locked or denied to reading
// still tells who it is; a folder needs the backup flag to be opened.
std::string FileIdentity(const std::string& path) {
    const HANDLE file = CreateFileW(Widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    if (!known) return {};
    const uint64_t index = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    return std::to_string(info.dwVolumeSerialNumber) + "-" + std::to_string(index);
}

}  // namespace platform
