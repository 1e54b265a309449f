#pragma once
// The window's message boxes. Every box goes through here, so that tests can
// install a function that answers instead of a person; nothing under test
// ever waits on a real modal box.

#include <functional>
#include <memory>
#include <string>

class QMessageBox;
class QWidget;

namespace Prompt {

enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

using Function = std::function<Answer(QWidget* owner, const std::string& text, Buttons buttons)>;

// A box with an OK button.
void Inform(QWidget* owner, const std::string& text);
// A Yes/No box; true only when the answer is Yes.
bool Confirm(QWidget* owner, const std::string& text);

// Installs `answerer` and returns the one it replaces; an empty function
// restores the real boxes.
Function Replace(Function answerer);

// The real box, ready to be shown. A Yes/No box answers Yes to Enter and No
// to Escape or closing, as the platform's own Yes/No box does.
std::unique_ptr<QMessageBox> BuildBox(QWidget* owner, const std::string& text, Buttons buttons);

}  // namespace Prompt
