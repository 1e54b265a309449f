#include "ui/win32/UrlOpener.h"

#include <shellapi.h>

#include "platform/WideText_win.h"
#include "ui/core/Replaceable.h"

namespace UrlOpener {
namespace {

// The default verb opens the default browser; whether it started is not
// checked, since nothing is reported either way.
void OpenInBrowser(HWND owner, const std::string& address) {
    ShellExecuteW(owner, nullptr, platform::Widen(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

Replaceable<Function>& Current() {
    static Replaceable<Function> opener{OpenInBrowser};
    return opener;
}

}  // namespace

void Open(HWND owner, const std::string& address) { Current()(owner, address); }

Function Replace(Function opener) { return Current().Replace(std::move(opener)); }

}  // namespace UrlOpener
