#pragma once
// Windows file attributes for the Windows-only tests, set and read through
// the system's own calls.

#include <windows.h>

#include <filesystem>
#include <string>

inline bool SetAttributes(const std::filesystem::path& file, DWORD attributes) {
    return SetFileAttributesW(file.wstring().c_str(), attributes);
}

inline DWORD AttributesOf(const std::filesystem::path& file) { return GetFileAttributesW(file.wstring().c_str()); }

// The ANSI code page the Windows stage runs in, as a Chinese server does.
inline bool ChineseCodePage() { return GetACP() == 936; }

// UTF-8 `text` in the ANSI code page.
inline std::string Ansi(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                    static_cast<int>(wide.size())));
    std::string narrow(wide.size() * 2, '\0');
    narrow.resize(WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), narrow.data(),
                                      static_cast<int>(narrow.size()), nullptr, nullptr));
    return narrow;
}
