#pragma once
// The shell's folder browser, replaceable so that tests can answer it.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace FolderChooser {

// The chosen folder's path, or nothing when the user cancelled or chose an
// item without a file-system path (a virtual folder).
using Function = std::function<std::optional<std::string>(HWND owner, const std::string& title)>;

std::optional<std::string> Choose(HWND owner, const std::string& title);

// Installs `chooser` and returns the one it replaces; an empty function
// restores the shell's browser.
Function Replace(Function chooser);

}  // namespace FolderChooser
