#pragma once
// How a drawn button looks, the same in both toolkits: the cases each
// toolkit's test drives its own button through, and the frame read back from
// its picture.

#include <cstdint>
#include <utility>
#include <vector>

#include "ui/core/ButtonStyle.h"
#include "ui/core/ResourceIds.h"

// The frame, read from the middle pixel of each edge of the picture: raised
// when lit at the top and left and shaded at the bottom and right, sunken the
// other way round, else none. `at(x, y)` gives a pixel's colour in the
// toolkit's own form.
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

// What the pointer does over a 45 x 30 button: each click is reported while
// the button still looks down, even when the click's handler takes the
// pointer elsewhere (as a box does); after it the button rests, without a
// frame or the hand cursor, until the pointer moves again.
enum class Pointer { In, Out, Down, Up, UpOutside, DoubleClick };
struct ClickCase {
    const char* name;
    std::vector<Pointer> events;
    int clicks;
    ButtonStyle::Frame frameAfter;
    bool hotAfter;  // the hand cursor, and on Win32 the capture that tells when the pointer leaves
};
inline const std::vector<ClickCase>& ClickCases() {
    using enum Pointer;
    using ButtonStyle::Frame;
    static const std::vector<ClickCase> cases = {
        {"hover", {In}, 0, Frame::Raised, true},
        {"click", {In, Down, Up}, 1, Frame::None, false},
        {"click, then a move", {In, Down, Up, In}, 1, Frame::Raised, true},
        {"drag out and back", {In, Down, Out, In, Up}, 1, Frame::None, false},
        {"release outside", {In, Down, Out, UpOutside}, 0, Frame::None, false},
        {"double click", {In, Down, Up, In, DoubleClick, Up}, 2, Frame::None, false},
        {"double click without a move", {In, Down, Up, DoubleClick, Up}, 1, Frame::None, false},
        {"release without press", {In, Up}, 0, Frame::Raised, true},
        {"pass over", {In, Out}, 0, Frame::None, false},
    };
    return cases;
}

// Which picture shows, told by the colour in its middle: the start picture is
// green, the stop picture red. Each case sets (kind, bitmap) pairs in turn.
enum class Seen { NoPicture, Green, Red };
struct PictureCase {
    std::vector<std::pair<int, int>> images;
    bool over;
    Seen seen;
};
inline const PictureCase PictureCases[] = {
    {{{ButtonStyle::ImageNormal, StartBitmapId}}, true, Seen::Green},  // no hover picture: the normal one stays
    {{{ButtonStyle::ImageNormal, StartBitmapId}, {ButtonStyle::ImageHover, StopBitmapId}}, false, Seen::Green},
    {{{ButtonStyle::ImageNormal, StartBitmapId}, {ButtonStyle::ImageHover, StopBitmapId}}, true, Seen::Red},
    {{{ButtonStyle::ImageDisabled, StartBitmapId}}, false, Seen::NoPicture},  // kept, never drawn
    {{{4, StartBitmapId}, {0, StartBitmapId}}, false, Seen::NoPicture},
    {{{ButtonStyle::ImageNormal, StartBitmapId}, {ButtonStyle::ImageNormal, 999}}, false, Seen::NoPicture},
};

inline Seen SeenIn(bool face, int red, int green) {
    return face ? Seen::NoPicture : green > red ? Seen::Green : Seen::Red;
}
