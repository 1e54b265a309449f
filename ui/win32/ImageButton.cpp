#include "ui/win32/ImageButton.h"

#include "platform/WideText_win.h"
#include "ui/win32/Colour.h"
#include "ui/win32/WindowText.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <string>

namespace {

constexpr UINT_PTR ButtonSubclassId = 1;
// The window property through which a draw request finds its button.
constexpr wchar_t ButtonProperty[] = L"VornImageButton";

RECT ToRect(const PlacedBox& box, const RECT& origin)
{
    const int left = origin.left + box.left;
    const int top = origin.top + box.top;
    return {left, top, left + box.width, top + box.height};
}

void FillSolid(HDC dc, int left, int top, int width, int height, COLORREF colour)
{
    const RECT area{left, top, left + width, top + height};
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
}

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP description{};
    GetObjectW(bitmap, sizeof description, &description);
    return {description.bmWidth, description.bmHeight};
}

// A DIB section keeps the picture's exact colours, so the key matches
// whatever the screen's depth.
HBITMAP LoadResourceBitmap(int id)
{
    return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0,
                                           LR_CREATEDIBSECTION));
}

// 12-pixel characters, normal weight, a proportional roman face chosen by
// the system.
HFONT CreateCaptionFont()
{
    LOGFONTW description{};
    description.lfHeight = -ButtonStyle::CaptionPixelHeight;
    description.lfWeight = FW_NORMAL;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfQuality = PROOF_QUALITY;
    description.lfPitchAndFamily = VARIABLE_PITCH | FF_ROMAN;
    return CreateFontIndirectW(&description);
}

}  // namespace

ImageButton::ImageButton() : faceColour(GetSysColor(COLOR_BTNFACE)) {}

ImageButton::~ImageButton()
{
    Detach();
}

void ImageButton::Attach(HWND pushButton)
{
    window = pushButton;
    SetWindowLongPtrW(pushButton, GWL_STYLE, GetWindowLongPtrW(pushButton, GWL_STYLE) | BS_OWNERDRAW);
    SetWindowSubclass(pushButton, Procedure, ButtonSubclassId, reinterpret_cast<DWORD_PTR>(this));
    SetPropW(pushButton, ButtonProperty, this);
}

void ImageButton::Detach()
{
    if (window != nullptr) {
        RemoveWindowSubclass(window, Procedure, ButtonSubclassId);
        RemovePropW(window, ButtonProperty);
    }
    tooltip.Destroy();
    window = nullptr;
}

void ImageButton::SetFrameStyle(std::uint32_t style)
{
    states.SetStyle(style);
}

ImageButton::Image* ImageButton::Slot(int kind)
{
    switch (kind) {
    case ButtonStyle::ImageNormal: return &normalImage;
    case ButtonStyle::ImageHover: return &hoverImage;
    case ButtonStyle::ImageDisabled: return &disabledImage;
    default: return nullptr;
    }
}

void ImageButton::SetImage(int kind, int bitmapId, int key)
{
    Image* slot = Slot(kind);
    if (slot == nullptr)
        return;
    slot->bitmap.reset(LoadResourceBitmap(bitmapId));
    slot->key = key;
}

void ImageButton::SetTooltipText(const char* utf8, bool activate)
{
    if (utf8 != nullptr)
        tooltip.SetText(window, platform::Widen(utf8), activate);
}

void ImageButton::SetLayout(int newLayout)
{
    if (newLayout == layout)
        return;
    layout = newLayout;
    InvalidateRect(window, nullptr, TRUE);
}

// --- the mouse ----------------------------------------------------------------

LRESULT CALLBACK ImageButton::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR self)
{
    auto* button = reinterpret_cast<ImageButton*>(self);
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST)
        button->tooltip.Relay(window, message, wParam, lParam);
    switch (message) {
    case WM_MOUSEMOVE:
        button->Move(lParam);
        return 0;
    case WM_LBUTTONDOWN:
        button->Apply(button->states.Press());
        break;  // the standard handling takes the focus and tracks the click
    case WM_LBUTTONUP:
        button->Release(wParam, lParam);
        return 0;
    case WM_LBUTTONDBLCLK:
        // A quick second click is a second press, not a gesture of its own.
        SendMessageW(window, WM_LBUTTONDOWN, wParam, lParam);
        return 0;
    case WM_NCDESTROY:
        button->Detach();
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void ImageButton::Apply(const ButtonActions& actions) const
{
    if (window == nullptr)
        return;  // the click's handler destroyed the button
    if (actions.cursor != ButtonCursor::Unchanged)
        SetCursor(LoadCursorW(nullptr, actions.cursor == ButtonCursor::Hand ? IDC_HAND : IDC_ARROW));
    if (actions.redraw)
        InvalidateRect(window, nullptr, TRUE);
}

void ImageButton::Move(LPARAM position)
{
    if (window == nullptr)
        return;
    RECT client;
    GetClientRect(window, &client);
    const POINT point{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    const ButtonActions actions = states.Move(PtInRect(&client, point) != FALSE);
    // Holding the capture while hot is what delivers the move that leaves the
    // button; while it is held down the standard handling holds it. A move
    // the states ignore (while a click is reported) leaves the capture alone.
    if (!states.Pressed() && actions.cursor == ButtonCursor::Hand)
        SetCapture(window);
    else if (!states.Pressed() && actions.cursor == ButtonCursor::Arrow && GetCapture() == window)
        ReleaseCapture();
    Apply(actions);
}

// The standard handling of the release reports the click (BN_CLICKED) while
// the states still show the button down, so the parent's handler runs under
// the down look.
void ImageButton::Release(WPARAM keys, LPARAM position)
{
    const HWND button = window;
    Apply(states.Release([&] { DefSubclassProc(button, WM_LBUTTONUP, keys, position); }));
    if (window == nullptr)
        return;
    // At rest, the button holds no capture until the next move makes it hot
    // (the standard handling gives back the press's capture only when it
    // reports a click); a hot toggle keeps one to learn when the pointer leaves.
    if (states.Hover())
        SetCapture(window);
    else if (GetCapture() == window)
        ReleaseCapture();
}

// --- drawing ------------------------------------------------------------------

bool ImageButton::DrawItem(const DRAWITEMSTRUCT& item)
{
    if (item.CtlType != ODT_BUTTON)
        return false;
    auto* button = static_cast<ImageButton*>(GetPropW(item.hwndItem, ButtonProperty));
    if (button == nullptr)
        return false;
    button->Draw(item.hDC, item.rcItem);
    return true;
}

const ImageButton::Image* ImageButton::ChosenImage() const
{
    switch (ButtonStyle::ImageToShow(states.Hover(), bool(normalImage.bitmap), bool(hoverImage.bitmap))) {
    case ButtonStyle::ShownImage::Hover: return &hoverImage;
    case ButtonStyle::ShownImage::Normal: return &normalImage;
    case ButtonStyle::ShownImage::None: break;
    }
    return nullptr;
}

void ImageButton::DrawFrame(HDC dc, const RECT& area) const
{
    const ButtonStyle::Frame frame = ButtonStyle::FrameFor(states.Style(), states.Visual(), GetChecked());
    if (frame == ButtonStyle::Frame::None)
        return;
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_3DDKSHADOW);
    const bool sunken = frame == ButtonStyle::Frame::Sunken;
    const COLORREF topLeft = sunken ? shadow : light;
    const COLORREF bottomRight = sunken ? light : shadow;
    const int x = area.left, y = area.top, w = area.right - area.left, h = area.bottom - area.top;
    FillSolid(dc, x, y, w - 1, 1, topLeft);
    FillSolid(dc, x, y, 1, h - 1, topLeft);
    FillSolid(dc, x + w - 1, y, 1, h, bottomRight);
    FillSolid(dc, x, y + h - 1, w, 1, bottomRight);
}

// Selects the caption font into `dc` when there is a caption.
SIZE ImageButton::MeasureCaption(HDC dc, const std::wstring& caption)
{
    SIZE size{0, 0};
    if (caption.empty())
        return size;
    if (!captionFont)
        captionFont.reset(CreateCaptionFont());
    SelectObject(dc, captionFont.get());
    GetTextExtentPoint32W(dc, caption.c_str(), int(caption.size()), &size);
    return size;
}

ContentSizes ImageButton::Sizes(const RECT& area, SIZE caption, const Image* image) const
{
    const SIZE picture = image != nullptr ? BitmapSize(image->bitmap.get()) : SIZE{0, 0};
    return {int(area.right - area.left), int(area.bottom - area.top), int(caption.cx), int(caption.cy),
            int(picture.cx), int(picture.cy), ButtonStyle::GapFor(bool(normalImage.bitmap), bool(hoverImage.bitmap))};
}

void ImageButton::DrawImage(HDC dc, const RECT& target, const Image& image)
{
    const HDC memory = CreateCompatibleDC(dc);
    const HGDIOBJ previous = SelectObject(memory, image.bitmap.get());
    const SIZE size = BitmapSize(image.bitmap.get());
    const int width = target.right - target.left;
    const int height = target.bottom - target.top;
    if (image.key == ButtonStyle::NoTransparentKey) {
        // Only what the bitmap holds, when the image fills a larger button.
        BitBlt(dc, target.left, target.top, std::min<int>(width, size.cx), std::min<int>(height, size.cy), memory,
               0, 0, SRCCOPY);
    } else {
        TransparentBlt(dc, target.left, target.top, width, height, memory, 0, 0, size.cx, size.cy,
                       ColourFromRgb(std::uint32_t(image.key)));
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
}

void ImageButton::Draw(HDC dc, const RECT& area)
{
    const int saved = SaveDC(dc);
    const COLORREF face = GetChecked() != 0 ? ColourFromRgb(ButtonStyle::CheckedFaceRgb) : faceColour;
    FillSolid(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, face);
    DrawFrame(dc, area);
    const std::wstring caption = WindowText(window);
    const SIZE captionSize = MeasureCaption(dc, caption);
    const Image* image = ChosenImage();
    const Placement placed = PlaceContent(layout, Sizes(area, captionSize, image));
    if (!caption.empty() && placed.caption) {
        RECT box = ToRect(*placed.caption, area);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        DrawTextW(dc, caption.c_str(), int(caption.size()), &box, DT_CENTER);
    }
    // Drawn after the caption, so the picture lies on top where they overlap.
    if (image != nullptr && placed.image)
        DrawImage(dc, ToRect(*placed.image, area), *image);
    RestoreDC(dc, saved);
}
