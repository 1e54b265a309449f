#include "ui/qt/ImageButton.h"

#include "ui/qt/Resources.h"

#include <QEnterEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace {

QRect ToRect(const PlacedBox& box)
{
    return QRect(box.left, box.top, box.width, box.height);
}

}  // namespace

ImageButton::ImageButton(QWidget* parent, const std::string& caption)
    : QAbstractButton(parent),
      faceColour(palette().color(QPalette::Button)),
      captionFont(CaptionFont())
{
    setText(QString::fromLocal8Bit(caption.data(), qsizetype(caption.size())));
    // Hover is learnt from moves without a button held, which Qt delivers
    // only with tracking on. Nothing here captures the mouse: Qt's leave
    // event stands in for the move that reports the pointer outside, and while
    // the button is held Qt's implicit grab keeps moves from outside coming.
    setMouseTracking(true);
}

QFont ImageButton::CaptionFont()
{
    QFont font;
    font.setFamily(QString());  // no face name: the system picks a roman face
    font.setStyleHint(QFont::Serif, QFont::PreferQuality);
    font.setPixelSize(ButtonStyle::CaptionPixelHeight);
    font.setWeight(QFont::Normal);
    return font;
}

void ImageButton::SetFrameStyle(std::uint32_t style)
{
    states.SetStyle(style);
}

void ImageButton::SetImage(int kind, int bitmapId, int key)
{
    Image* slot = kind == ImageNormal  ? &normalImage
                  : kind == ImageHover ? &hoverImage
                  : kind == ImageDisabled ? &disabledImage
                                          : nullptr;
    if (slot == nullptr)
        return;
    slot->pixmap = LoadResourceBitmap(bitmapId);
    slot->key = key;
    if (!slot->pixmap.isNull() && key != NoTransparentKey) {
        const QColor keyColour = QColor::fromRgb(QRgb(key));
        slot->pixmap.setMask(slot->pixmap.createMaskFromColor(keyColour, Qt::MaskInColor));
    }
}

void ImageButton::SetTooltipText(const char* text, bool activate)
{
    if (text == nullptr)
        return;
    tooltip.SetText(QString::fromLocal8Bit(text), activate, rect());
}

void ImageButton::SetLayout(int newLayout)
{
    if (newLayout == layout)
        return;
    layout = newLayout;
    update();
}

// Qt shows tips on its own help event after the hover delay, so this is where
// the tool is consulted rather than on every mouse message.
bool ImageButton::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QAbstractButton::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString tip = tooltip.TextAt(help->pos());
    if (tip.isEmpty()) {
        QToolTip::hideText();
    } else {
        const QString wrapped = ButtonTooltip::Wrap(tip, QToolTip::font(), ButtonTooltip::MaxTipWidth);
        QToolTip::showText(help->globalPos(), wrapped, this, tooltip.Area());
    }
    return true;
}

void ImageButton::Apply(const ButtonActions& actions)
{
    if (actions.cursor == ButtonCursor::Hand)
        setCursor(Qt::PointingHandCursor);
    else if (actions.cursor == ButtonCursor::Arrow)
        setCursor(Qt::ArrowCursor);
    if (actions.redraw)
        update();
}

void ImageButton::mouseMoveEvent(QMouseEvent* event)
{
    Apply(states.Move(rect().contains(event->position().toPoint())));
}

void ImageButton::enterEvent(QEnterEvent* event)
{
    Apply(states.Move(rect().contains(event->position().toPoint())));
}

void ImageButton::leaveEvent(QEvent*)
{
    Apply(states.Move(false));
}

void ImageButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    Apply(states.Press());
}

// A quick second click is a second press, not a gesture of its own.
void ImageButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    Apply(states.Release([this] { emit clicked(GetChecked() != 0); }));
}

const ImageButton::Image* ImageButton::ChosenImage() const
{
    switch (ButtonStyle::ImageToShow(states.Hover(), !normalImage.pixmap.isNull(), !hoverImage.pixmap.isNull())) {
    case ButtonStyle::ShownImage::Hover: return &hoverImage;
    case ButtonStyle::ShownImage::Normal: return &normalImage;
    case ButtonStyle::ShownImage::None: break;
    }
    return nullptr;
}

void ImageButton::DrawFrame(QPainter& painter) const
{
    const ButtonStyle::Frame frame = ButtonStyle::FrameFor(states.Style(), states.Visual(), GetChecked());
    if (frame == ButtonStyle::Frame::None)
        return;
    const bool sunken = frame == ButtonStyle::Frame::Sunken;
    const QColor light = palette().color(QPalette::Light);
    const QColor shadow = palette().color(QPalette::Shadow);
    const QColor& topLeft = sunken ? shadow : light;
    const QColor& bottomRight = sunken ? light : shadow;
    const int w = width();
    const int h = height();
    painter.fillRect(0, 0, w - 1, 1, topLeft);
    painter.fillRect(0, 0, 1, h - 1, topLeft);
    painter.fillRect(w - 1, 0, 1, h, bottomRight);
    painter.fillRect(0, h - 1, w, 1, bottomRight);
}

QSize ImageButton::MeasureCaption(QPainter& painter, const QString& caption) const
{
    if (caption.isEmpty())
        return QSize(0, 0);
    painter.setFont(captionFont);
    return QSize(painter.fontMetrics().horizontalAdvance(caption), painter.fontMetrics().height());
}

ContentSizes ImageButton::Sizes(const QSize& caption, const Image* image) const
{
    const QSize picture = image != nullptr ? image->pixmap.size() : QSize(0, 0);
    return {width(), height(), caption.width(), caption.height(), picture.width(), picture.height(),
            ButtonStyle::GapFor(!normalImage.pixmap.isNull(), !hoverImage.pixmap.isNull())};
}

void ImageButton::DrawImage(QPainter& painter, const QRect& target, const Image& image)
{
    if (image.key == NoTransparentKey)
        painter.drawPixmap(target.topLeft(), image.pixmap, QRect(QPoint(0, 0), target.size()));
    else
        painter.drawPixmap(target, image.pixmap);  // stretched when the image fills the button
}

void ImageButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), GetChecked() != 0 ? QColor(CheckedFace) : faceColour);
    DrawFrame(painter);
    const QString caption = text();
    const Image* image = ChosenImage();
    const Placement placed = PlaceContent(layout, Sizes(MeasureCaption(painter, caption), image));
    if (!caption.isEmpty() && placed.caption) {
        painter.setPen(Qt::black);
        painter.drawText(ToRect(*placed.caption), Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, caption);
    }
    // Drawn after the caption, so the picture lies on top where they overlap.
    if (image != nullptr && placed.image)
        DrawImage(painter, ToRect(*placed.image), *image);
}
