#pragma once
// The Win32 window's boxes, folder browser and web addresses, answered and
// recorded by the test (support/ScriptedPrompts.h).

#include "support/ScriptedPrompts.h"
#include "ui/win32/FolderChooser.h"
#include "ui/win32/Prompt.h"
#include "ui/win32/UrlOpener.h"

using ScriptedPrompts = ScriptedPromptsFor<HWND, Prompt::Answer, Prompt::Buttons, &Prompt::Replace,
                                           &FolderChooser::Replace, &UrlOpener::Replace>;
