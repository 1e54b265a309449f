#pragma once
// Hands a web address to the user's default browser. The opener is
// replaceable so that tests can record addresses instead of starting a
// browser. A failure to open is ignored.

#include <windows.h>

#include <functional>
#include <string>

namespace UrlOpener {

using Function = std::function<void(HWND owner, const std::string& address)>;

void Open(HWND owner, const std::string& address);
// Installs `opener` and returns the one it replaces; an empty function
// restores the shell's default action.
Function Replace(Function opener);

}  // namespace UrlOpener
