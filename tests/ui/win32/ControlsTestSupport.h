#pragma once
// What the controls' tests share: a plain window to hold the controls (it
// paints nothing of its own, hands WM_DRAWITEM to the image buttons and
// reports BN_CLICKED), and a control's own painting rendered into memory.

#include <windows.h>

#include <functional>
#include <vector>

inline constexpr COLORREF ParentColour = RGB(200, 230, 200);

class TestParent {
public:
    TestParent();  // shown, 320 x 200, at the screen's origin
    ~TestParent();
    TestParent(const TestParent&) = delete;
    TestParent& operator=(const TestParent&) = delete;

    // A visible child control of a system class.
    HWND AddChild(const wchar_t* className, const wchar_t* text, DWORD style, const RECT& area, int id) const;
    HWND Window() const { return window; }

    // Runs on every BN_CLICKED, while the button handles its release.
    std::function<void(HWND button)> onClick;
    int clicks = 0;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window = nullptr;
};

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> colours;  // row after row
    COLORREF At(int x, int y) const { return colours[std::size_t(y) * width + x]; }
};

// The control's client area as it paints itself (WM_PRINTCLIENT) over a
// background of `background`.
Pixels Render(HWND control, COLORREF background = ParentColour);

// The bounds of the pixels that `wanted` accepts; empty when there are none.
RECT BoundsOf(const Pixels& pixels, const std::function<bool(COLORREF)>& wanted);
int CountOf(const Pixels& pixels, COLORREF colour);
