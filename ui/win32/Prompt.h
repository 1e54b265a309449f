#pragma once
// The window's message boxes. Every box goes through here, so that tests can
// install a function that answers instead of a person; nothing under test
// ever waits on a real modal box.

#include <windows.h>

#include <functional>
#include <string>

namespace Prompt {

enum class Buttons { Ok, YesNo };
// NotShown: no box could appear (no desktop to show it on).
enum class Answer { Ok, Yes, No, NotShown };

using Function = std::function<Answer(HWND owner, const std::string& text, Buttons buttons)>;

// A box with an OK button; false when it could not be shown.
bool Inform(HWND owner, const std::string& text);
// A Yes/No box, Yes the default; true only when the answer is Yes.
bool Confirm(HWND owner, const std::string& text);

// Installs `answerer` and returns the one it replaces; an empty function
// restores the real boxes.
Function Replace(Function answerer);

}  // namespace Prompt
