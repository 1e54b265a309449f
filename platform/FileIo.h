#pragma once
// Plain file access for the utility library. No system headers here; each
// platform's source maps these onto its own calls.

#include <cstddef>
#include <cstdint>

namespace platform {

using FileHandle = intptr_t;
inline constexpr FileHandle InvalidFile = -1;

inline constexpr uint32_t AccessRead = 0x80000000u;
inline constexpr uint32_t AccessWrite = 0x40000000u;

inline constexpr uint32_t CreateNew = 1;     // fails when the file exists
inline constexpr uint32_t OpenExisting = 3;  // fails when the file is missing
inline constexpr uint32_t OpenAlways = 4;    // creates when missing, never empties

// Others may read the file while it is open, not write it. Only a regular
// file opens: a FIFO, a device or a directory fails at once, without waiting.
FileHandle OpenFile(const char* path, uint32_t access, uint32_t disposition);
// False on a failed call; `got` 0 at the end of the file.
bool ReadFile(FileHandle file, void* buffer, size_t size, size_t& got);
bool WriteFile(FileHandle file, const void* bytes, size_t size, size_t& written);
// Makes the current position the end of the file.
bool TruncateFile(FileHandle file);
// Forces written data down to the disk.
bool FlushFile(FileHandle file);
void CloseFile(FileHandle file);

// True when `path` could be opened for writing as it stands. A file that
// carries the read-only attribute counts as not writable even for an
// administrator. Never changes the file.
bool IsWritable(const char* path);
bool FileExists(const char* path);
// Moves `from` over `to` in one step; `to` keeps its permission bits.
bool MoveFileOver(const char* from, const char* to);
bool RemoveFile(const char* path);

}  // namespace platform
