#pragma once
// Inside the platform layer on Windows only: all of a text's bytes through a
// handle, however many calls WriteFile takes.

#include <windows.h>

#include <string>

namespace platform {

// False when a write fails or takes nothing (a pipe whose reader is gone).
inline bool WriteAll(HANDLE handle, const std::string& bytes) {
    for (size_t done = 0; done < bytes.size();) {
        DWORD written = 0;
        if (!::WriteFile(handle, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written, nullptr) ||
            written == 0)
            return false;
        done += written;
    }
    return true;
}

}  // namespace platform
