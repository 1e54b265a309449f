#pragma once
// A flat push button that draws itself: a small picture beside its caption,
// a thin 3-D frame while the pointer is over it (sunken while held down), the
// hand cursor while hot, and a tooltip. It reports clicks through the usual
// QAbstractButton::clicked signal. Construct it with its parent and place it
// with setGeometry; configure it with the operations below.

#include "ui/core/ButtonStyle.h"
#include "ui/qt/ButtonTooltip.h"

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QPixmap>

#include <cstdint>
#include <string>

class ImageButton : public QAbstractButton {
    Q_OBJECT
public:
    // The settings' values live with the button's rules; these are their names here.
    static constexpr std::uint32_t FrameOnHover = ButtonStyle::FrameOnHover;
    static constexpr std::uint32_t FrameNever = ButtonStyle::FrameNever;
    static constexpr std::uint32_t FrameAlways = ButtonStyle::FrameAlways;
    static constexpr std::uint32_t ToggleStyle = ButtonStyle::ToggleStyle;
    using ImageKind = ButtonStyle::ImageKind;
    static constexpr ImageKind ImageNormal = ButtonStyle::ImageNormal;
    static constexpr ImageKind ImageHover = ButtonStyle::ImageHover;
    static constexpr ImageKind ImageDisabled = ButtonStyle::ImageDisabled;
    static constexpr int NoTransparentKey = ButtonStyle::NoTransparentKey;
    static constexpr int KeyFromRgb(int red, int green, int blue) { return ButtonStyle::KeyFromRgb(red, green, blue); }
    static constexpr QRgb CheckedFace = 0xFF000000 | ButtonStyle::CheckedFaceRgb;

    explicit ImageButton(QWidget* parent, const std::string& caption = {});

    // Stores the style word (frame mode, optionally ToggleStyle); no redraw.
    void SetFrameStyle(std::uint32_t style);
    // Loads bitmap `bitmapId` (see Resources.h) as the image of `kind` with
    // `key` as its transparent colour. Unknown kinds change nothing; a bitmap
    // that cannot be loaded leaves that kind without an image. No redraw.
    void SetImage(int kind, int bitmapId, int key);
    // A null text is ignored. The first call fixes the tip's area to the
    // button's rectangle at that moment; later calls only replace the text.
    void SetTooltipText(const char* text, bool activate);
    // Redraws only when the layout changes.
    void SetLayout(int layout);
    int GetChecked() const { return states.Checked(); }
    // Stores the value without redrawing.
    void SetChecked(int value) { states.SetChecked(value); }

    // The caption's font: 12-pixel characters, normal weight, a proportional
    // roman face chosen by the system.
    static QFont CaptionFont();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    struct Image {
        QPixmap pixmap;  // with the key colour already masked out
        int key = NoTransparentKey;
    };

    void Apply(const ButtonActions& actions);
    const Image* ChosenImage() const;
    void DrawFrame(QPainter& painter) const;
    QSize MeasureCaption(QPainter& painter, const QString& caption) const;
    ContentSizes Sizes(const QSize& caption, const Image* image) const;
    static void DrawImage(QPainter& painter, const QRect& target, const Image& image);

    ButtonStates states;
    ButtonTooltip tooltip;
    QColor faceColour;
    QFont captionFont;
    Image normalImage;
    Image hoverImage;
    Image disabledImage;
    int layout = ImageAboveCaption;
};
