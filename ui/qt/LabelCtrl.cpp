#include "ui/qt/LabelCtrl.h"

#include <QPainter>

LabelCtrl::LabelCtrl(QWidget* parent, unsigned style)
    : QFrame(parent),
      textFont(font()),
      textColour(palette().color(QPalette::ButtonText)),
      backgroundColour(palette().color(QPalette::Button)),
      style(style)
{
}

void LabelCtrl::SetTextColor(const QColor& colour, bool redraw)
{
    textColour = colour;
    if (redraw)
        InvalidateParentArea();
}

void LabelCtrl::SetBackgroundMode(int mode)
{
    backgroundMode = mode;
}

void LabelCtrl::SetText(const std::string& newText)
{
    text = QString::fromLocal8Bit(newText.data(), qsizetype(newText.size()));
    InvalidateParentArea();
}

std::string LabelCtrl::Text() const
{
    return text.toLocal8Bit().toStdString();
}

// The label paints nothing outside its text, so only a repaint of what lies
// beneath it wipes out a longer old text; Qt repaints the label on top.
void LabelCtrl::InvalidateParentArea()
{
    QWidget* parent = parentWidget();
    if (parent != nullptr && !isWindow())
        parent->update(geometry());
    else
        update();  // a window of its own has nothing beneath to repaint
}

int LabelCtrl::TextFlags() const
{
    int flags = Qt::AlignLeft;
    if (style & SS_CENTER)
        flags = Qt::AlignHCenter;
    else if (style & SS_RIGHT)
        flags = Qt::AlignRight;
    if (style & SS_CENTERIMAGE)
        return flags | Qt::AlignVCenter | Qt::TextSingleLine;
    return flags | Qt::AlignTop | Qt::TextWordWrap;
}

void LabelCtrl::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);  // the edge, when the owner gave the label one
    QPainter painter(this);
    painter.setPen(textColour);
    painter.setBackground(backgroundColour);
    painter.setBackgroundMode(backgroundMode == Transparent ? Qt::TransparentMode : Qt::OpaqueMode);
    painter.setFont(textFont);
    painter.drawText(contentsRect(), TextFlags(), text);
}
