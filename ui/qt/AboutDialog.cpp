#include "ui/qt/AboutDialog.h"

#include "ui/qt/DialogUnits.h"
#include "ui/qt/Resources.h"

#include <QLabel>
#include <QPushButton>

namespace {

enum class Kind { Icon, Text, WrappedText, OkButton };

struct Control {
    Kind kind;
    const char* text;
    int x, y, width, height;  // dialog units
};

// In tab order; sizes in dialog units of the dialog font.
constexpr int DialogWidth = 270;
constexpr int DialogHeight = 129;
constexpr Control Controls[] = {
    {Kind::Icon, "", 11, 17, 21, 21},
    {Kind::Text, "VORN服务器大批量文件删除专用工具", 40, 10, 165, 10},
    {Kind::Text, "免费软件，删除前请确认处理目录", 41, 107, 119, 8},
    {Kind::OkButton, "确定", 205, 97, 50, 20},
    {Kind::WrappedText,
     "本工具以尽量少占用CPU为目标，以图形界面运行，也支持静默方式运行，静默方式可以配合WINDOWS的任务计划实现"
     "定时清理垃圾文件的功能，静默模式调用格式：vorn.exe /auto",
     40, 39, 199, 40},
};

constexpr int IconPixels = 32;

QLabel* MakeLabel(const Control& control, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (control.kind == Kind::Icon)
        label->setPixmap(LoadResourceIcon(AppIconId).pixmap(IconPixels, IconPixels));
    else
        label->setText(QString::fromUtf8(control.text));
    label->setWordWrap(control.kind == Kind::WrappedText);
    return label;
}

}  // namespace

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral("关于 VORN"));
    setFont(DialogFont());
    const DialogUnits units(font());
    setFixedSize(units.X(DialogWidth), units.Y(DialogHeight));
    for (const Control& control : Controls) {
        QWidget* widget = nullptr;
        if (control.kind == Kind::OkButton) {
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
