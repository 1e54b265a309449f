#pragma once
// A dialog's static text control that paints its own text in a colour of its
// choosing, either over whatever the parent painted beneath it (transparent)
// or with only the text cells filled (opaque), and that can change text or
// colour without leaving the old text behind.
//
// The window style decides the placement, bit by bit: SS_CENTER centres (it
// beats SS_RIGHT), SS_RIGHT aligns right, SS_CENTERIMAGE draws one line
// centred vertically; without it the text wraps at word boundaries from the
// top. (Those are the system's own SS_ names from <windows.h>, which as macros
// cannot be redeclared here.)

#include <windows.h>

#include <string>

#include "ui/win32/GdiObject.h"

class LabelCtrl {
public:
    enum BackgroundMode { Transparent = 1, Opaque = 2 };

    // Reads the system's button text and face colours.
    LabelCtrl();
    // Releases the font and removes the subclass, if the window still lives.
    ~LabelCtrl();
    LabelCtrl(const LabelCtrl&) = delete;
    LabelCtrl& operator=(const LabelCtrl&) = delete;

    // Takes over painting of `control` and makes a private copy of its font
    // (or of the default GUI font when it has none); the window's own font
    // setting stays as it is.
    void Attach(HWND control);
    // With redraw false the colour shows at the next paint.
    void SetTextColor(COLORREF colour, bool redraw);
    COLORREF TextColor() const { return textColour; }
    // Takes effect at the next paint.
    void SetBackgroundMode(int mode);
    // Sets the window text and repaints the area under the label.
    void SetText(const std::string& utf8);
    // Invalidates the parent's rectangle under the label, with erase; the
    // parent does not clip its children, so the label repaints on top.
    void InvalidateParentArea();
    HWND Window() const { return window; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR self);
    void Paint(HDC dc) const;
    void Detach();

    HWND window = nullptr;
    GdiObject<HFONT> textFont;
    COLORREF textColour;
    COLORREF backgroundColour;  // of the text cells in opaque mode
    int backgroundMode = Opaque;
};
