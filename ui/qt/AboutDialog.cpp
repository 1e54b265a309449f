#include "ui/qt/AboutDialog.h"

#include "ui/core/AboutTemplate.h"
#include "ui/qt/DialogUnits.h"
#include "ui/qt/Resources.h"

#include <QLabel>
#include <QPushButton>

namespace {

constexpr int IconPixels = 32;

QLabel* MakeLabel(const AboutControl& control, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (control.kind == AboutKind::Icon)
        label->setPixmap(LoadResourceIcon(AppIconId).pixmap(IconPixels, IconPixels));
    else
        label->setText(QString::fromUtf8(control.text));
    label->setWordWrap(control.kind == AboutKind::WrappedText);
    return label;
}

}  // namespace

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QString::fromUtf8(AboutTitle));
    setFont(DialogFont());
    const DialogUnits units(font());
    setFixedSize(units.X(AboutWidthUnits), units.Y(AboutHeightUnits));
    for (const AboutControl& control : AboutControls) {
        QWidget* widget = nullptr;
        if (control.kind == AboutKind::OkButton) {
            auto* ok = new QPushButton(QString::fromUtf8(control.text), this);
            ok->setDefault(true);
            connect(ok, &QPushButton::clicked, this, &QDialog::accept);
            widget = ok;
        } else {
            widget = MakeLabel(control, this);
        }
        widget->setGeometry(units.Rect(control.x, control.y, control.width, control.height));
    }
}

void AboutDialog::Show(QWidget* parent)
{
    AboutDialog box(parent);
    box.exec();
}
