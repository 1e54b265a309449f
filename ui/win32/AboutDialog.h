#pragma once
// The About box, from template 100: icon, title, description, a notice and
// an OK button. It closes by OK, Escape or its close box.

#include <windows.h>

namespace AboutDialog {

// Shows the box modally over `owner` (disabled meanwhile) until it is closed.
void Show(HWND owner);

}  // namespace AboutDialog
