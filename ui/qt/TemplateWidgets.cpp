#include "ui/qt/TemplateWidgets.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>

#include "ui/qt/DialogUnits.h"
#include "ui/qt/ImageButton.h"
#include "ui/qt/LabelCtrl.h"
#include "ui/core/MainTemplate.h"
#include "ui/qt/Resources.h"

namespace {

QLineEdit* NumberEdit(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}

QLabel* TextLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

LabelCtrl* StatusLabel(QWidget* parent) {
    auto* label = new LabelCtrl(parent);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(1);
    return label;
}

QGroupBox* GroupBox(const QString& title, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    box->lower();
    return box;
}

// A picture keeps its bitmap's own size inside its sunken frame.
QLabel* Picture(QWidget* parent) {
    auto* picture = new QLabel(parent);
    picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picture->setLineWidth(1);
    picture->setPixmap(LoadResourceBitmap(BannerBitmapId));
    return picture;
}

QWidget* NewWidget(const TemplateControl& control, QWidget* parent) {
    const QString caption = QString::fromLocal8Bit(control.caption);
    switch (control.kind) {
    case ControlKind::Edit: return new QLineEdit(parent);
    case ControlKind::NumberEdit: return NumberEdit(parent);
    case ControlKind::ImageButton: return new ImageButton(parent, control.caption);
    case ControlKind::CheckBox: return new QCheckBox(caption, parent);
    case ControlKind::Radio: return new QRadioButton(caption, parent);
    case ControlKind::Label: return TextLabel(caption, parent);
    case ControlKind::StatusLabel: return StatusLabel(parent);
    case ControlKind::GroupBox: return GroupBox(caption, parent);
    case ControlKind::Picture: return Picture(parent);
    }
    return nullptr;
}

}  // namespace

QWidget* CreateTemplateControl(const TemplateControl& control, QWidget* parent, const DialogUnits& units) {
    QWidget* widget = NewWidget(control, parent);
    QRect place = units.Rect(control.x, control.y, control.width, control.height);
    if (control.kind == ControlKind::Picture) place.setSize(widget->sizeHint());
    widget->setGeometry(place);
    if (control.id != 0) widget->setObjectName(QString::number(control.id));
    return widget;
}
