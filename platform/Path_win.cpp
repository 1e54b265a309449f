#include "platform/Path.h"

#include <windows.h>

#include "platform/WideText_win.h"

namespace platform {

const char PathSeparator = '\\';

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// "\\server\share", and anything below it.
bool IsShare(const std::string& path) {
    if (path.size() < 5 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return false;
    const size_t shareAt = path.find_first_of("\\/", 2) + 1;
    if (shareAt <= 3 || shareAt >= path.size()) return false;
    return !IsSeparator(path[shareAt]);
}

}  // namespace

// "C:" and "D:logs" name the drive's current directory, and "\logs" the
// current drive: wherever the program happens to be started. Only a path
// from a drive's root or a share's names one place.
bool IsAbsoluteDirectory(const std::string& path) {
    const bool drive = path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && IsSeparator(path[2]);
    return drive || IsShare(path);
}

// The system's own normalisation, which every open by path goes through.
std::string ResolvedDirectory(const std::string& path) {
    const std::wstring wide = Widen(path);
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) return path;
        if (length < full.size()) return Narrow(std::wstring_view(full.data(), length));
        full.resize(length);
    }
}

std::string FromWorkingDirectory(const std::string& path) {
    if (IsAbsoluteDirectory(path)) return path;
    const bool onDrive = path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':';
    if (path.empty() || onDrive || IsSeparator(path[0])) return {};
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::wstring directory(size, L'\0');
    const DWORD length = size ? GetCurrentDirectoryW(size, directory.data()) : 0;
    if (length == 0 || length >= size) return {};
    const std::string base = Narrow(std::wstring_view(directory.data(), length));
    return base + (IsSeparator(base.back()) ? "" : "\\") + path;
}

std::string NameBytes(const std::string& text) { return Narrow(Widen(text), AnsiCodePage); }

}  // namespace platform
