#include "platform/WideText_win.h"

#include <windows.h>

namespace platform {

std::wstring Widen(std::string_view text, unsigned codePage) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

// Best-fit mapping would turn a character the code page lacks into a
// look-alike, and a path into another path: it is never used.
std::string Narrow(std::wstring_view text, unsigned codePage, bool* exact) {
    if (exact) *exact = true;
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const DWORD flags = codePage == Utf8CodePage ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL defaulted = FALSE;
    BOOL* usedDefault = codePage == Utf8CodePage ? nullptr : &defaulted;
    const int length = WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, text.data(), size, narrow.data(), length, nullptr, usedDefault);
    if (exact) *exact = !defaulted;
    return narrow;
}

}  // namespace platform
