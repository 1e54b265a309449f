#include "ui/qt/Prompt.h"

#include "ui/core/Replaceable.h"

#include <QMessageBox>
#include <QPushButton>
#include <QString>

namespace Prompt {
namespace {

inline constexpr const char* BoxTitle = "VORN";

Answer ShowBox(QWidget* owner, const std::string& text, Buttons buttons) {
    const std::unique_ptr<QMessageBox> box = BuildBox(owner, text, buttons);
    box->exec();
    if (buttons == Buttons::Ok) return Answer::Ok;
    return box->buttonRole(box->clickedButton()) == QMessageBox::YesRole ? Answer::Yes : Answer::No;
}

Replaceable<Function>& Current() {
    static Replaceable<Function> answerer{ShowBox};
    return answerer;
}

}  // namespace

void Inform(QWidget* owner, const std::string& text) { Current()(owner, text, Buttons::Ok); }

bool Confirm(QWidget* owner, const std::string& text) {
    return Current()(owner, text, Buttons::YesNo) == Answer::Yes;
}

Function Replace(Function answerer) { return Current().Replace(std::move(answerer)); }

// The boxes speak the window's language, buttons included, whatever
// translations the machine has installed.
std::unique_ptr<QMessageBox> BuildBox(QWidget* owner, const std::string& text, Buttons buttons) {
    const bool question = buttons == Buttons::YesNo;
    auto box = std::make_unique<QMessageBox>(question ? QMessageBox::Question : QMessageBox::Warning,
                                             QString::fromLocal8Bit(BoxTitle), QString::fromLocal8Bit(text.c_str()),
                                             QMessageBox::NoButton, owner);
    if (!question) {
        box->addButton(QString::fromLocal8Bit("确定"), QMessageBox::AcceptRole);
        return box;
    }
    box->setDefaultButton(box->addButton(QString::fromLocal8Bit("是(&Y)"), QMessageBox::YesRole));
    box->setEscapeButton(box->addButton(QString::fromLocal8Bit("否(&N)"), QMessageBox::NoRole));
    return box;
}

}  // namespace Prompt
