#pragma once
// Where an image button puts its caption and its image inside a W x H face.
// A pure function of the layout and the sizes, so the arithmetic (halves are
// arithmetic shifts, rounding towards minus infinity) can be checked exactly.

#include <optional>

struct PlacedBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int Right() const { return left + width; }    // one past the last column
    int Bottom() const { return top + height; }   // one past the last row
    bool operator==(const PlacedBox&) const = default;
};

struct ContentSizes {
    int width = 0;           // W
    int height = 0;          // H
    int captionWidth = 0;    // 0 for an empty caption
    int captionHeight = 0;
    int imageWidth = 0;      // 0 without an image
    int imageHeight = 0;
    int gap = 0;             // between caption and image
};

struct Placement {
    // Absent where the layout defines no place for that part.
    std::optional<PlacedBox> caption;
    std::optional<PlacedBox> image;
};

enum ButtonLayout {
    CaptionAboveImage = 1,
    ImageAboveCaption = 2,
    CaptionLeftOfImage = 3,
    ImageLeftOfCaption = 4,
    ImageFillsButton = 5,  // the image covers the face; the caption has no place
};

// Layout values outside 1 to 5 place nothing.
Placement PlaceContent(int layout, const ContentSizes& sizes);
