#pragma once
// The image button's tooltip: at most one tool, whose rectangle is fixed when
// it is added and whose text a later call replaces. Inactive until asked.

#include <QFont>
#include <QRect>
#include <QString>

class ButtonTooltip {
public:
    // Texts wider than this wrap onto further lines.
    static constexpr int MaxTipWidth = 400;

    virtual ~ButtonTooltip() = default;

    // The first call adds the tool covering `area`; every call sets its text
    // and whether the tip is shown at all.
    void SetText(const QString& text, bool activate, const QRect& area);
    // The text to show for the pointer at `pos`, empty when nothing shows.
    QString TextAt(const QPoint& pos) const;
    QRect Area() const { return area; }

    // Breaks `text` into lines no wider than `maxWidth` (words are kept whole
    // where they fit; a word wider than a line is broken).
    static QString Wrap(const QString& text, const QFont& font, int maxWidth);

private:
    bool hasTool = false;
    bool active = false;
    QRect area;
    QString text;
};
