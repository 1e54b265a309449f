#include "ui/Prompt.h"

#include <QMessageBox>
#include <QString>

namespace Prompt {
namespace {

inline constexpr const char* BoxTitle = "VORN";

Answer ShowBox(QWidget* owner, const std::string& text, Buttons buttons) {
    const QString title = QString::fromLocal8Bit(BoxTitle);
    const QString message = QString::fromLocal8Bit(text.c_str());
    if (buttons == Buttons::Ok) {
        QMessageBox::warning(owner, title, message, QMessageBox::Ok);
        return Answer::Ok;
    }
    const auto pressed = QMessageBox::question(owner, title, message, QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return pressed == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

Function& Current() {
    static Function answerer = ShowBox;
    return answerer;
}

}  // namespace

void Inform(QWidget* owner, const std::string& text) { Current()(owner, text, Buttons::Ok); }

bool Confirm(QWidget* owner, const std::string& text) {
    return Current()(owner, text, Buttons::YesNo) == Answer::Yes;
}

Function Replace(Function answerer) {
    Function previous = Current();
    Current() = answerer ? std::move(answerer) : ShowBox;
    return previous;
}

}  // namespace Prompt
