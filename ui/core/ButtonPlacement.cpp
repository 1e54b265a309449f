#include "ui/core/ButtonPlacement.h"

namespace {

// An arithmetic shift, so a negative slack rounds towards minus infinity.
int Half(int value)
{
    return value >> 1;
}

PlacedBox Box(int left, int top, int width, int height)
{
    return {left, top, width, height};
}

Placement Stacked(bool captionFirst, const ContentSizes& s)
{
    const int slack = s.height - s.captionHeight - s.gap - s.imageHeight;
    const int captionLeft = Half(s.width - s.captionWidth);
    const int imageLeft = Half(s.width - s.imageWidth);
    if (captionFirst) {
        const PlacedBox caption = Box(captionLeft, Half(slack), s.captionWidth, s.captionHeight);
        return {caption, Box(imageLeft, caption.Bottom() + s.gap, s.imageWidth, s.imageHeight)};
    }
    const int captionTop = s.height - Half(slack) - s.captionHeight;
    const int imageTop = captionTop - s.gap - s.imageHeight;
    return {Box(captionLeft, captionTop, s.captionWidth, s.captionHeight),
            Box(imageLeft, imageTop, s.imageWidth, s.imageHeight)};
}

Placement SideBySide(bool captionFirst, const ContentSizes& s)
{
    const int slack = s.width - s.captionWidth - s.gap - s.imageWidth;
    const int captionTop = Half(s.height - s.captionHeight);
    const int imageTop = Half(s.height - s.imageHeight);
    if (captionFirst) {
        const PlacedBox caption = Box(Half(slack), captionTop, s.captionWidth, s.captionHeight);
        return {caption, Box(caption.Right() + s.gap, imageTop, s.imageWidth, s.imageHeight)};
    }
    const int captionLeft = s.width - Half(slack) - s.captionWidth;
    const int imageLeft = captionLeft - s.gap - s.imageWidth;
    return {Box(captionLeft, captionTop, s.captionWidth, s.captionHeight),
            Box(imageLeft, imageTop, s.imageWidth, s.imageHeight)};
}

}  // namespace

Placement PlaceContent(int layout, const ContentSizes& sizes)
{
    switch (layout) {
    case CaptionAboveImage: return Stacked(true, sizes);
    case ImageAboveCaption: return Stacked(false, sizes);
    case CaptionLeftOfImage: return SideBySide(true, sizes);
    case ImageLeftOfCaption: return SideBySide(false, sizes);
    case ImageFillsButton: return {std::nullopt, Box(0, 0, sizes.width, sizes.height)};
    default: return {};
    }
}
