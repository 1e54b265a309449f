#pragma once
// The Qt window's boxes, folder chooser and web addresses, answered and
// recorded by the test (support/ScriptedPrompts.h).

#include "support/ScriptedPrompts.h"
#include "ui/qt/FolderChooser.h"
#include "ui/qt/Prompt.h"
#include "ui/qt/UrlOpener.h"

using ScriptedPrompts = ScriptedPromptsFor<QWidget*, Prompt::Answer, Prompt::Buttons, &Prompt::Replace,
                                           &FolderChooser::Replace, &UrlOpener::Replace>;
