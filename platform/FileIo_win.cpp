#include "platform/FileIo.h"

#include <windows.h>

#include <algorithm>

#include "platform/WideText_win.h"

namespace platform {

namespace {

// The access masks and dispositions of FileIo.h are the system's own values.
static_assert(AccessRead == GENERIC_READ && AccessWrite == GENERIC_WRITE);
static_assert(CreateNew == CREATE_NEW && OpenExisting == OPEN_EXISTING && OpenAlways == OPEN_ALWAYS);

constexpr size_t MaxChunk = 1u << 30;

HANDLE Handle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

// What an owner gives vorn.ini on purpose, beside its security; read-only
// keeps a save from starting at all.
constexpr DWORD KeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Write-through: the move has reached the disk when this returns.
bool MoveTo(const std::wstring& from, const std::wstring& to) {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

}  // namespace

FileHandle OpenOwnFile(const char* path, bool& refused, WayRefusal&) {
    refused = false;
    return OpenFile(path, AccessRead, OpenExisting);
}

FileHandle OpenFile(const char* path, uint32_t access, uint32_t disposition) {
    const HANDLE handle = CreateFileW(Widen(path).c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    return handle == INVALID_HANDLE_VALUE ? InvalidFile : reinterpret_cast<FileHandle>(handle);
}

OpenProblem WhyNotOpened(const char* path) {
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? OpenProblem::Missing
                                                                             : OpenProblem::Denied;
    }
    // There but not opened: no right to read it, or another program holds it.
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? OpenProblem::NotRegular : OpenProblem::Other;
}

bool ReadFile(FileHandle file, void* buffer, size_t size, size_t& got) {
    DWORD n = 0;
    const bool ok = ::ReadFile(Handle(file), buffer, static_cast<DWORD>(std::min(size, MaxChunk)), &n, nullptr);
    got = ok ? n : 0;
    return ok;
}

bool WriteFile(FileHandle file, const void* bytes, size_t size, size_t& written) {
    written = 0;
    const char* p = static_cast<const char*>(bytes);
    while (written < size) {
        DWORD n = 0;
        const DWORD chunk = static_cast<DWORD>(std::min(size - written, MaxChunk));
        if (!::WriteFile(Handle(file), p + written, chunk, &n, nullptr) || n == 0) return false;
        written += n;
    }
    return true;
}

bool TruncateFile(FileHandle file) { return SetEndOfFile(Handle(file)); }

bool FlushFile(FileHandle file) { return FlushFileBuffers(Handle(file)); }

void CloseFile(FileHandle file) { CloseHandle(Handle(file)); }

// An administrator could clear the attribute and write, but whoever set it
// meant the file to stay as it is. A file another program holds without
// sharing it for writing cannot be opened here either.
bool IsWritable(const char* path) {
    const std::wstring wide = Widen(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    const HANDLE handle = CreateFileW(wide.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    CloseHandle(handle);
    return true;
}

bool FileExists(const char* path) { return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

bool DirectoryExists(const char* path) {
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The file is saved where its name stands: NTFS links to it are not followed.
std::string LinkTarget(const char* path) { return path; }

// A plain move would give vorn.ini the folder's inherited security and
// default attributes. ReplaceFileW keeps the old file's security (and fails
// where it cannot, so that the caller rewrites the file in place instead);
// the attributes are put on the new file first, as not every system's
// ReplaceFileW carries them.
bool MoveFileOver(const char* from, const char* to) {
    const std::wstring source = Widen(from);
    const std::wstring target = Widen(to);
    const DWORD old = GetFileAttributesW(target.c_str());
    if (old == INVALID_FILE_ATTRIBUTES) return MoveTo(source, target);
    if ((old & KeptAttributes) && !SetFileAttributesW(source.c_str(), old & KeptAttributes)) return false;
    if (ReplaceFileW(target.c_str(), source.c_str(), nullptr, 0, nullptr, nullptr)) return true;
    // The old file is gone and the new one kept its own name: it must take
    // the old one's place all the same.
    return GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT && MoveTo(source, target);
}

bool RemoveFile(const char* path) { return DeleteFileW(Widen(path).c_str()); }

}  // namespace platform
