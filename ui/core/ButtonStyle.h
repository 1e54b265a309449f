#pragma once
// The image button's settings and how the main window sets up its seven
// image buttons: the same picture on pure blue, the frame only while hot, the
// picture left of the caption, the caption as tooltip.

#include <array>
#include <cstdint>

#include "ui/core/ButtonPlacement.h"
#include "ui/core/ButtonStates.h"
#include "ui/core/MainTemplate.h"
#include "ui/core/ResourceIds.h"

namespace ButtonStyle {

// Frame modes, the low 16 bits of the style word; other values behave as FrameOnHover.
inline constexpr std::uint32_t FrameOnHover = 1;
inline constexpr std::uint32_t FrameNever = 2;
inline constexpr std::uint32_t FrameAlways = 3;
inline constexpr std::uint32_t ToggleStyle = ButtonStates::ToggleStyle;

// Image kinds for SetImage. The disabled image is kept but never drawn.
enum ImageKind { ImageNormal = 1, ImageHover = 2, ImageDisabled = 3 };

// Transparent keys are 0xRRGGBB; this one copies the image opaquely.
inline constexpr int NoTransparentKey = -1;
constexpr int KeyFromRgb(int red, int green, int blue) { return red << 16 | green << 8 | blue; }

inline constexpr std::uint32_t CheckedFaceRgb = 0xE0E0E0;  // the face of a checked toggle button
inline constexpr int ImageGap = 3;                          // between caption and image, when there is an image
inline constexpr int CaptionPixelHeight = 12;               // the caption font's character height

enum class Frame { None, Raised, Sunken };
// The frame a button shows: none in FrameNever, always in FrameAlways, else
// only while hot or down; sunken while checked or down.
Frame FrameFor(std::uint32_t style, int visual, int checked);

enum class ShownImage { None, Normal, Hover };
// The hover picture while the pointer is over the button and there is one,
// else the normal picture if there is one.
ShownImage ImageToShow(bool hover, bool hasNormal, bool hasHover);
// The space between caption and picture: there whenever the button has a
// picture at all, even with an empty caption.
int GapFor(bool hasNormal, bool hasHover);

}  // namespace ButtonStyle

// The main window's image buttons in the order they are set up, with their
// pictures. Each is set up alike: FrameOnHover, the picture as its normal
// image keyed on pure blue, its caption as active tooltip, ImageLeftOfCaption.
struct ToolButton {
    int id;
    int bitmap;
};
inline constexpr std::array<ToolButton, 7> ToolButtons{{
    {MainIds::Start, StartBitmapId},
    {MainIds::Pause, PauseBitmapId},
    {MainIds::Stop, StopBitmapId},
    {MainIds::Exit, ExitBitmapId},
    {MainIds::Save, SaveBitmapId},
    {MainIds::Website, WebsiteBitmapId},
    {MainIds::ChooseDirectory, ChooseDirBitmapId},
}};
inline constexpr std::uint32_t ToolButtonFrame = ButtonStyle::FrameOnHover;
inline constexpr int ToolButtonKey = ButtonStyle::KeyFromRgb(0, 0, 255);
inline constexpr int ToolButtonLayout = ImageLeftOfCaption;
