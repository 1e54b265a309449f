#include "ui/core/ButtonStyle.h"

#include <gtest/gtest.h>

namespace {

using ButtonStyle::Frame;
using ButtonStyle::ShownImage;

constexpr int AtRest = ButtonStates::StateNormal;
constexpr int Hot = ButtonStates::StateHot;
constexpr int Down = ButtonStates::StateDown;

TEST(ButtonStyle, FrameFollowsModeStateAndChecked)
{
    using namespace ButtonStyle;
    struct Case {
        std::uint32_t style;
        int visual;
        int checked;
        Frame expected;
    };
    const Case cases[] = {
        {FrameOnHover, AtRest, 0, Frame::None},
        {FrameOnHover, Hot, 0, Frame::Raised},
        {FrameOnHover, Down, 0, Frame::Sunken},
        {FrameOnHover, Hot, 1, Frame::Sunken},
        {FrameOnHover, Hot, 2, Frame::Sunken},     // any non-zero check state sinks it
        {FrameOnHover, AtRest, 1, Frame::None},    // checked, yet no frame until hot
        {FrameNever, Hot, 0, Frame::None},
        {FrameNever, Down, 1, Frame::None},
        {FrameAlways, AtRest, 0, Frame::Raised},
        {FrameAlways, Down, 0, Frame::Sunken},
        {FrameAlways, AtRest, 1, Frame::Sunken},
        {7, AtRest, 0, Frame::None},               // unknown modes behave as frame-on-hover
        {7, Hot, 0, Frame::Raised},
        {0, Down, 0, Frame::Sunken},
        {0x8000 | FrameAlways, AtRest, 0, Frame::None},       // bit 15 still belongs to the mode
        {ToggleStyle | FrameAlways, AtRest, 0, Frame::Raised},  // bits above it do not
        {ToggleStyle | FrameNever, Down, 0, Frame::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "style " << std::hex << c.style << std::dec << " visual " << c.visual
                                        << " checked " << c.checked);
        EXPECT_EQ(FrameFor(c.style, c.visual, c.checked), c.expected);
    }
}

// A hover picture alone shows only while hot; the gap is there whenever the
// button has any picture, whether it is shown or not.
TEST(ButtonStyle, ImageShownAndGapFollowThePicturesSet)
{
    struct Case {
        bool hasNormal;
        bool hasHover;
        ShownImage atRest;
        ShownImage whileHot;
        int gap;
    };
    const Case cases[] = {
        {false, false, ShownImage::None, ShownImage::None, 0},
        {true, false, ShownImage::Normal, ShownImage::Normal, 3},
        {false, true, ShownImage::None, ShownImage::Hover, 3},
        {true, true, ShownImage::Normal, ShownImage::Hover, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "normal " << c.hasNormal << " hover " << c.hasHover);
        EXPECT_EQ(ButtonStyle::ImageToShow(false, c.hasNormal, c.hasHover), c.atRest);
        EXPECT_EQ(ButtonStyle::ImageToShow(true, c.hasNormal, c.hasHover), c.whileHot);
        EXPECT_EQ(ButtonStyle::GapFor(c.hasNormal, c.hasHover), c.gap);
    }
}

}  // namespace
