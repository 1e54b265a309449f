#include "ui/core/ButtonPlacement.h"

#include <gtest/gtest.h>

namespace {

struct PlacementCase {
    const char* name;
    int layout;
    ContentSizes sizes;
    PlacedBox caption;
    PlacedBox image;
};

// A 45 x 30 button with a 24 x 24 image and no caption: the gap still applies.
constexpr ContentSizes ImageOnly{45, 30, 0, 0, 24, 24, 3};
// Slack of 13 across (60 - 20 - 3 - 24) and of 3 down (44 - 14 - 3 - 24).
constexpr ContentSizes OddSlack{60, 44, 20, 14, 24, 24, 3};
// Content wider and taller than the face: slack -5 across, -11 down.
constexpr ContentSizes TooWide{40, 30, 18, 14, 24, 24, 3};
// Narrower than the image alone: half of (21 - 24) is -2, not -1.
constexpr ContentSizes TooNarrow{21, 30, 18, 14, 24, 24, 3};

const PlacementCase Cases[] = {
    {"image only, caption above", CaptionAboveImage, ImageOnly, {22, 1, 0, 0}, {10, 4, 24, 24}},
    {"image only, image above", ImageAboveCaption, ImageOnly, {22, 29, 0, 0}, {10, 2, 24, 24}},
    {"image only, caption left", CaptionLeftOfImage, ImageOnly, {9, 15, 0, 0}, {12, 3, 24, 24}},
    {"image only, image left", ImageLeftOfCaption, ImageOnly, {36, 15, 0, 0}, {9, 3, 24, 24}},
    {"odd slack, caption above", CaptionAboveImage, OddSlack, {20, 1, 20, 14}, {18, 18, 24, 24}},
    {"odd slack, image above", ImageAboveCaption, OddSlack, {20, 29, 20, 14}, {18, 2, 24, 24}},
    {"odd slack, caption left", CaptionLeftOfImage, OddSlack, {6, 15, 20, 14}, {29, 10, 24, 24}},
    // The odd pixel of slack goes to the leading side: 7 before the image, 6 after the caption.
    {"odd slack, image left", ImageLeftOfCaption, OddSlack, {34, 15, 20, 14}, {7, 10, 24, 24}},
    {"too wide, caption left", CaptionLeftOfImage, TooWide, {-3, 8, 18, 14}, {18, 3, 24, 24}},
    // Content wider than the face overhangs both edges: the caption ends at 43 of 40.
    {"too wide, image left", ImageLeftOfCaption, TooWide, {25, 8, 18, 14}, {-2, 3, 24, 24}},
    {"too narrow, caption above", CaptionAboveImage, TooNarrow, {1, -6, 18, 14}, {-2, 11, 24, 24}},
    {"too narrow, image above", ImageAboveCaption, TooNarrow, {1, 22, 18, 14}, {-2, -5, 24, 24}},
};

TEST(ButtonPlacement, PlacesCaptionAndImageForEachLayout)
{
    for (const PlacementCase& c : Cases) {
        SCOPED_TRACE(c.name);
        const Placement placed = PlaceContent(c.layout, c.sizes);
        ASSERT_TRUE(placed.caption.has_value());
        ASSERT_TRUE(placed.image.has_value());
        EXPECT_EQ(*placed.caption, c.caption);
        EXPECT_EQ(*placed.image, c.image);
    }
}

TEST(ButtonPlacement, ImageFillsTheFaceAndTheCaptionHasNoPlace)
{
    const Placement placed = PlaceContent(ImageFillsButton, ImageOnly);
    EXPECT_FALSE(placed.caption.has_value());
    ASSERT_TRUE(placed.image.has_value());
    EXPECT_EQ(*placed.image, (PlacedBox{0, 0, 45, 30}));
}

TEST(ButtonPlacement, UnknownLayoutsPlaceNothing)
{
    for (int layout : {0, 6, -1}) {
        const Placement placed = PlaceContent(layout, OddSlack);
        EXPECT_FALSE(placed.caption.has_value()) << layout;
        EXPECT_FALSE(placed.image.has_value()) << layout;
    }
}

}  // namespace
