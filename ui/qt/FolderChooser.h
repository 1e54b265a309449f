#pragma once
// The platform's folder chooser, replaceable so that tests can answer it.

#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace FolderChooser {

// The chosen folder's path, or nothing when the user cancelled.
using Function = std::function<std::optional<std::string>(QWidget* owner, const std::string& title)>;

std::optional<std::string> Choose(QWidget* owner, const std::string& title);

// Installs `chooser` and returns the one it replaces; an empty function
// restores the platform's dialog.
Function Replace(Function chooser);

}  // namespace FolderChooser
