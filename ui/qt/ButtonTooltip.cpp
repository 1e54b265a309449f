#include "ui/qt/ButtonTooltip.h"

#include <QStringList>
#include <QTextLayout>

void ButtonTooltip::SetText(const QString& newText, bool activate, const QRect& newArea)
{
    if (!hasTool) {
        hasTool = true;
        area = newArea;
    }
    text = newText;
    active = activate;
}

QString ButtonTooltip::TextAt(const QPoint& pos) const
{
    if (!hasTool || !active || !area.contains(pos))
        return {};
    return text;
}

QString ButtonTooltip::Wrap(const QString& text, const QFont& font, int maxWidth)
{
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.setFont(font);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(maxWidth);
            lines << paragraph.mid(line.textStart(), line.textLength());
        }
        layout.endLayout();
    }
    return lines.join(QLatin1Char('\n'));
}
