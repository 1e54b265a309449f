#pragma once
// Plain file access for the utility library. No system headers here; each
// platform's source maps these onto its own calls.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/WayRefusal.h"

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

// Opens `path` for reading as OpenFile does, only where nobody but root and
// the user running the process could have chosen what it holds: they own the
// file and every directory and link on the way to it, nobody else may write
// the file, and a directory others may write has the sticky bit (as /tmp
// has). InvalidFile with `refused` set and `refusal` filled otherwise. On
// Windows the folder's permissions decide, as for any file: OpenFile.
FileHandle OpenOwnFile(const char* path, bool& refused, WayRefusal& refusal);

// Why `path` could not be opened for reading just now, looked up after the
// fact for a message; it decides nothing.
enum class OpenProblem { Missing, Denied, NotRegular, Other };
OpenProblem WhyNotOpened(const char* path);
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
// True when `path` names a directory, a link to one followed.
bool DirectoryExists(const char* path);
// The file that `path` names once every link on it is followed: `path`
// itself when it is no link, and a dangling link's target too, so that
// writing it creates that file.
std::string LinkTarget(const char* path);
// Moves `from` over `to` in one step. Where `to` exists, what its owner gave
// it stays: on POSIX its permission bits, and its owner when the caller may
// give it (root); on Windows its security (its ACL) and its hidden, system
// and not-indexed attributes. False where that cannot be kept: the caller
// may then rewrite `to` where it stands.
bool MoveFileOver(const char* from, const char* to);
bool RemoveFile(const char* path);

}  // namespace platform
