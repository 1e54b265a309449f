#pragma once
// The program's texts are UTF-8; the Windows API speaks UTF-16. These convert
// at that boundary, for the Windows sources only.

#include <string>
#include <string_view>

namespace platform {

inline constexpr unsigned AnsiCodePage = 0;  // the system's ANSI code page
inline constexpr unsigned Utf8CodePage = 65001;

std::wstring Widen(std::string_view text, unsigned codePage = Utf8CodePage);
// `exact`, when given, is false when some character has no form in `codePage`
// (it then stands as "?"); never so for UTF-8.
std::string Narrow(std::wstring_view text, unsigned codePage = Utf8CodePage, bool* exact = nullptr);

}  // namespace platform
