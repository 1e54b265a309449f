#include "ui/win32/FolderChooser.h"

#include <shlobj.h>

#include "platform/WideText_win.h"
#include "ui/core/Replaceable.h"

namespace FolderChooser {
namespace {

std::optional<std::string> PathOf(PIDLIST_ABSOLUTE item) {
    wchar_t path[MAX_PATH] = {};
    const bool hasPath = SHGetPathFromIDListW(item, path);
    CoTaskMemFree(item);
    if (!hasPath) return std::nullopt;
    return platform::Narrow(path);
}

// The whole shell namespace, no options. The browser is a COM client, so
// the thread joins an apartment while it is shown.
std::optional<std::string> ShowBrowser(HWND owner, const std::string& title) {
    const std::wstring wideTitle = platform::Widen(title);
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW browse{};
    browse.hwndOwner = owner;
    browse.pszDisplayName = displayName;
    browse.lpszTitle = wideTitle.c_str();
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&browse);
    std::optional<std::string> chosen = item ? PathOf(item) : std::nullopt;
    if (SUCCEEDED(com)) CoUninitialize();
    return chosen;
}

Replaceable<Function>& Current() {
    static Replaceable<Function> chooser{ShowBrowser};
    return chooser;
}

}  // namespace

std::optional<std::string> Choose(HWND owner, const std::string& title) { return Current()(owner, title); }

Function Replace(Function chooser) { return Current().Replace(std::move(chooser)); }

}  // namespace FolderChooser
