#include "ui/core/ButtonStyle.h"

namespace ButtonStyle {

Frame FrameFor(std::uint32_t style, int visual, int checked)
{
    constexpr std::uint32_t FrameModeMask = 0xFFFF;
    const std::uint32_t mode = style & FrameModeMask;
    if (mode == FrameNever || (mode != FrameAlways && visual == ButtonStates::StateNormal))
        return Frame::None;
    return checked != 0 || visual == ButtonStates::StateDown ? Frame::Sunken : Frame::Raised;
}

ShownImage ImageToShow(bool hover, bool hasNormal, bool hasHover)
{
    if (hover && hasHover)
        return ShownImage::Hover;
    return hasNormal ? ShownImage::Normal : ShownImage::None;
}

int GapFor(bool hasNormal, bool hasHover)
{
    return hasNormal || hasHover ? ImageGap : 0;
}

}  // namespace ButtonStyle
