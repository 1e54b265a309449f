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

}  // namespace ButtonStyle
