#pragma once
// A static text that paints its own text in a colour of its choosing, either
// over whatever lies beneath it (transparent) or with only the text cells
// filled (opaque), and that can change text or colour without leaving the old
// text behind. Derives from QFrame so an owner may give it a sunken edge; the
// text is drawn inside the frame.

#include <QColor>
#include <QFont>
#include <QFrame>

#include <string>

class LabelCtrl : public QFrame {
    Q_OBJECT
public:
    // Style bits, tested one by one: centre beats right; without centre-image
    // the text wraps at word boundaries from the top.
    static constexpr unsigned SS_CENTER = 0x1;
    static constexpr unsigned SS_RIGHT = 0x2;
    static constexpr unsigned SS_CENTERIMAGE = 0x200;  // one line, centred vertically

    enum BackgroundMode { Transparent = 1, Opaque = 2 };

    // Takes a private copy of the font the widget has now, under its parent.
    explicit LabelCtrl(QWidget* parent, unsigned style = 0);

    // With redraw false the colour shows at the next paint.
    void SetTextColor(const QColor& colour, bool redraw);
    QColor TextColor() const { return textColour; }
    // Takes effect at the next paint.
    void SetBackgroundMode(int mode);
    void SetText(const std::string& text);
    std::string Text() const;
    // Repaints the parent's area under the label, and with it the label.
    void InvalidateParentArea();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int TextFlags() const;

    QFont textFont;
    QColor textColour;
    QColor backgroundColour;
    int backgroundMode = Opaque;
    unsigned style;
    QString text;
};
