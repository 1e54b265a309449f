#pragma once
// Stored DOS attributes for the POSIX-only tests, set through the system's
// own call, where a file server keeps them.

#include <sys/xattr.h>

#include <filesystem>
#include <string>

// False where the file system keeps no user attributes.
inline bool SetDosAttrib(const std::filesystem::path& file, const std::string& value) {
    return setxattr(file.c_str(), "user.DOSATTRIB", value.data(), value.size(), 0) == 0;
}
