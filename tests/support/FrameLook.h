#pragma once
// The frame a drawn button shows, read from the middle pixel of each edge of
// its picture: raised when lit at the top and left and shaded at the bottom
// and right, sunken the other way round, else none. `at(x, y)` gives a
// pixel's colour in the toolkit's own form.

#include "ui/core/ButtonStyle.h"

template <class PixelAt, class Colour>
ButtonStyle::Frame FrameAt(PixelAt at, int width, int height, Colour light, Colour shadow) {
    const Colour top = at(width / 2, 0);
    const Colour left = at(0, height / 2);
    const Colour bottom = at(width / 2, height - 1);
    const Colour right = at(width - 1, height / 2);
    if (top == light && left == light && bottom == shadow && right == shadow) return ButtonStyle::Frame::Raised;
    if (top == shadow && left == shadow && bottom == light && right == light) return ButtonStyle::Frame::Sunken;
    return ButtonStyle::Frame::None;
}

// Each frame once, each drawn only when the toolkit passes on the mode, the
// held button or the check state: which frame every input gives is the core's
// own test, the toolkits show only that they draw it.
struct FrameCase {
    std::uint32_t style;
    bool held;
    int checked;
    ButtonStyle::Frame expected;
};
inline constexpr FrameCase FrameCases[] = {
    {ButtonStyle::FrameNever, true, 0, ButtonStyle::Frame::None},
    {ButtonStyle::FrameAlways, false, 0, ButtonStyle::Frame::Raised},
    {ButtonStyle::FrameAlways, false, 1, ButtonStyle::Frame::Sunken},
};
