#include "ui/qt/DialogUnits.h"

#include <QFontMetrics>
#include <QStringList>

namespace {

// The average width of the Latin letters, rounded as the dialog manager does.
int AverageCharWidth(const QFontMetrics& metrics)
{
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return (letters / 26 + 1) / 2;
}

// Scales and rounds to the nearest pixel.
int Scale(int units, int base, int divisor)
{
    return (units * base + divisor / 2) / divisor;
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font)
    : DialogUnits(AverageCharWidth(QFontMetrics(font)), QFontMetrics(font).height())
{
}

int DialogUnits::X(int units) const
{
    return Scale(units, baseWidth, 4);
}

int DialogUnits::Y(int units) const
{
    return Scale(units, baseHeight, 8);
}

QRect DialogUnits::Rect(int x, int y, int width, int height) const
{
    return QRect(X(x), Y(y), X(width), Y(height));
}

QFont DialogFont()
{
    QFont font;
    font.setFamilies(QStringList{QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Noto Sans CJK SC")});
    font.setPointSize(9);
    return font;
}
