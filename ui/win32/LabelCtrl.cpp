#include "ui/win32/LabelCtrl.h"

#include "platform/WideText_win.h"
#include "ui/win32/WindowText.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR LabelSubclassId = 1;

// The window's own font, else a stock one; the system font is the last
// resort, as there is always one.
HFONT SourceFont(HWND window)
{
    if (auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)))
        return font;
    for (int stock : {DEFAULT_GUI_FONT, ANSI_VAR_FONT, SYSTEM_FONT})
        if (auto font = static_cast<HFONT>(GetStockObject(stock)))
            return font;
    return nullptr;
}

HFONT CopyOf(HFONT font)
{
    LOGFONTW description{};
    if (font == nullptr || GetObjectW(font, sizeof description, &description) == 0)
        return nullptr;
    return CreateFontIndirectW(&description);
}

// The style bits are tested one by one, not as a static control's type.
UINT TextFlags(LONG_PTR style)
{
    UINT flags = DT_LEFT;
    if (style & SS_CENTER)
        flags = DT_CENTER;
    else if (style & SS_RIGHT)
        flags = DT_RIGHT;
    if (style & SS_CENTERIMAGE)
        return flags | DT_VCENTER | DT_SINGLELINE;
    return flags | DT_WORDBREAK;
}

}  // namespace

LabelCtrl::LabelCtrl()
    : textColour(GetSysColor(COLOR_BTNTEXT)),
      backgroundColour(GetSysColor(COLOR_BTNFACE))
{
}

LabelCtrl::~LabelCtrl()
{
    Detach();
}

void LabelCtrl::Attach(HWND control)
{
    window = control;
    textFont.reset(CopyOf(SourceFont(control)));
    SetWindowSubclass(control, Procedure, LabelSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

void LabelCtrl::Detach()
{
    if (window != nullptr)
        RemoveWindowSubclass(window, Procedure, LabelSubclassId);
    window = nullptr;
}

void LabelCtrl::SetTextColor(COLORREF colour, bool redraw)
{
    textColour = colour;
    if (redraw)
        InvalidateParentArea();
}

void LabelCtrl::SetBackgroundMode(int mode)
{
    backgroundMode = mode;
}

void LabelCtrl::SetText(const std::string& utf8)
{
    SetWindowTextW(window, platform::Widen(utf8).c_str());
    InvalidateParentArea();
}

void LabelCtrl::InvalidateParentArea()
{
    const HWND parent = GetParent(window);
    if (parent == nullptr)
        return;
    RECT area;
    GetWindowRect(window, &area);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&area), 2);
    InvalidateRect(parent, &area, TRUE);
}

void LabelCtrl::Paint(HDC dc) const
{
    const int saved = SaveDC(dc);
    ::SetTextColor(dc, textColour);
    SetBkColor(dc, backgroundColour);
    SetBkMode(dc, backgroundMode);
    RECT area;
    GetClientRect(window, &area);
    SelectObject(dc, textFont.get());
    const std::wstring text = WindowText(window);
    DrawTextW(dc, text.c_str(), int(text.size()), &area, TextFlags(GetWindowLongPtrW(window, GWL_STYLE)));
    RestoreDC(dc, saved);
}

LRESULT CALLBACK LabelCtrl::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR self)
{
    auto* label = reinterpret_cast<LabelCtrl*>(self);
    switch (message) {
    case WM_ERASEBKGND:
        return TRUE;  // the parent's background is the label's background
    case WM_PAINT: {
        PAINTSTRUCT paint;
        label->Paint(BeginPaint(window, &paint));
        EndPaint(window, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        label->Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_SETTEXT:
        // The static control would paint the new text its own way at once;
        // only store it: the label paints when its area is invalidated.
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_NCDESTROY:
        label->Detach();
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}
