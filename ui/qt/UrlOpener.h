#pragma once
// Hands a web address to the user's default browser. The opener is
// replaceable so that tests can record addresses instead of starting a
// browser. A failure to open is ignored.

#include <functional>
#include <string>

namespace UrlOpener {

using Function = std::function<void(const std::string& address)>;

void Open(const std::string& address);
// Installs `opener` and returns the one it replaces; an empty function
// restores the default (the desktop's URL handler).
Function Replace(Function opener);

}  // namespace UrlOpener
