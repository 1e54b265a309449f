#pragma once
// A window's text as the system keeps it (UTF-16), whatever its length.

#include <windows.h>

#include <string>

std::wstring WindowText(HWND window);
