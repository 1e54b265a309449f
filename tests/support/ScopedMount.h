#pragma once
// A file system mounted for one test and detached again whatever happens.
// Mounting needs privileges a test machine may not grant: check `mounted`.

#include <filesystem>
#include <sys/mount.h>

class ScopedMount {
public:
    ScopedMount(const char* source, const std::filesystem::path& at, const char* type, unsigned long flags)
        : at(at) {
        std::filesystem::create_directories(at);
        mounted = mount(source, at.c_str(), type, flags, nullptr) == 0;
    }
    ~ScopedMount() {
        if (mounted) umount2(at.c_str(), MNT_DETACH);
    }
    ScopedMount(const ScopedMount&) = delete;
    ScopedMount& operator=(const ScopedMount&) = delete;

    // Makes a bind mount read-only.
    bool MakeReadOnly() {
        return mounted && mount(nullptr, at.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
    }

    bool mounted;

private:
    std::filesystem::path at;
};
