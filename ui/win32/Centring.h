#pragma once
// Where the dialogs open: the dialog manager puts a template without
// DS_CENTER at the screen's (or the owner's) top-left corner.

#include <windows.h>

// Moves `window`, its size kept, so that its centre is the centre of `area`
// (screen coordinates).
void CentreOn(HWND window, const RECT& area);

// The work area of the monitor `window` is on: the screen without the task bar.
RECT WorkAreaOf(HWND window);
