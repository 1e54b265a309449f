#pragma once
// A dialog's push button that draws itself: a small picture beside its
// caption on a flat face, a thin 3-D frame while the pointer is over it
// (sunken while held down), the hand cursor while hot, and a tooltip. It
// reports clicks to its parent as BN_CLICKED, like any push button, and
// keeps its down look while the parent handles the click. The settings'
// values (frame modes, image kinds, keys, layouts) are in ButtonStyle.h and
// ButtonPlacement.h.

#include <windows.h>

#include <cstdint>

#include "ui/core/ButtonStyle.h"
#include "ui/win32/ButtonTooltip.h"
#include "ui/win32/GdiObject.h"

class ImageButton {
public:
    // Reads the system's button face colour.
    ImageButton();
    // Releases the images, the caption font and the tooltip, and removes the
    // subclass if the window still lives.
    ~ImageButton();
    ImageButton(const ImageButton&) = delete;
    ImageButton& operator=(const ImageButton&) = delete;

    // Makes the push button owner-drawn and takes over its mouse handling.
    void Attach(HWND pushButton);
    // Stores the style word (frame mode, optionally ToggleStyle); no redraw.
    void SetFrameStyle(std::uint32_t style);
    // Loads bitmap `bitmapId` from the executable's resources as the image of
    // `kind`, with `key` (0xRRGGBB, or NoTransparentKey) as its transparent
    // colour. Unknown kinds change nothing; a bitmap that cannot be loaded
    // leaves that kind without an image. No redraw.
    void SetImage(int kind, int bitmapId, int key);
    // A null text is ignored. The first call fixes the tip's area to the
    // button's client rectangle at that moment; later calls replace the text.
    void SetTooltipText(const char* utf8, bool activate);
    // Redraws only when the layout changes.
    void SetLayout(int layout);
    int GetChecked() const { return states.Checked(); }
    // Stores the value without redrawing.
    void SetChecked(int value) { states.SetChecked(value); }

    // The owner's dialog procedure passes every WM_DRAWITEM here; true when it
    // was meant for an attached ImageButton (which then drew itself).
    static bool DrawItem(const DRAWITEMSTRUCT& item);
    HWND Window() const { return window; }

private:
    struct Image {
        GdiObject<HBITMAP> bitmap;
        int key = ButtonStyle::NoTransparentKey;
    };

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR self);
    void Detach();
    void Apply(const ButtonActions& actions) const;
    void Move(LPARAM position);
    void Release(WPARAM keys, LPARAM position);

    Image* Slot(int kind);
    const Image* ChosenImage() const;
    void Draw(HDC dc, const RECT& area);
    void DrawFrame(HDC dc, const RECT& area) const;
    SIZE MeasureCaption(HDC dc, const std::wstring& caption);
    ContentSizes Sizes(const RECT& area, SIZE caption, const Image* image) const;
    static void DrawImage(HDC dc, const RECT& target, const Image& image);

    HWND window = nullptr;
    ButtonStates states;
    ButtonTooltip tooltip;
    COLORREF faceColour;
    Image normalImage;
    Image hoverImage;
    Image disabledImage;  // kept, never drawn
    GdiObject<HFONT> captionFont;
    int layout = ImageAboveCaption;
};
