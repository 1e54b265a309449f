#pragma once
// Dialogs are laid out in dialog units: a quarter of the dialog font's
// average character width across, an eighth of its height down. This turns
// such a layout into pixels for the font in use.

#include <QFont>
#include <QRect>

class DialogUnits {
public:
    DialogUnits(int baseWidth, int baseHeight) : baseWidth(baseWidth), baseHeight(baseHeight) {}
    explicit DialogUnits(const QFont& font);
    virtual ~DialogUnits() = default;

    int X(int units) const;
    int Y(int units) const;
    QRect Rect(int x, int y, int width, int height) const;

private:
    int baseWidth;
    int baseHeight;
};

// The dialogs' font: a 9-point Song face, falling back to any installed CJK face.
QFont DialogFont();
