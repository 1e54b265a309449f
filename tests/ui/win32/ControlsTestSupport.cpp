#include "ControlsTestSupport.h"

#include "ui/win32/ImageButton.h"

#include <algorithm>

namespace {

constexpr wchar_t ParentClass[] = L"VornControlsTestParent";

void RegisterParentClass(WNDPROC procedure)
{
    static const ATOM atom = [procedure] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hbrBackground = CreateSolidBrush(ParentColour);
        windowClass.lpszClassName = ParentClass;
        return RegisterClassW(&windowClass);
    }();
    (void)atom;
}

}  // namespace

TestParent::TestParent()
{
    RegisterParentClass(Procedure);
    window = CreateWindowExW(0, ParentClass, L"test", WS_POPUP | WS_VISIBLE, 0, 0, 320, 200, nullptr, nullptr,
                             GetModuleHandleW(nullptr), this);
}

TestParent::~TestParent()
{
    DestroyWindow(window);
}

HWND TestParent::AddChild(const wchar_t* className, const wchar_t* text, DWORD style, const RECT& area,
                          int id) const
{
    return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, area.left, area.top,
                           area.right - area.left, area.bottom - area.top, window,
                           reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleW(nullptr), nullptr);
}

LRESULT CALLBACK TestParent::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TestParent*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_DRAWITEM && ImageButton::DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))
        return TRUE;
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && self != nullptr) {
        ++self->clicks;
        if (self->onClick)
            self->onClick(reinterpret_cast<HWND>(lParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

Pixels Render(HWND control, COLORREF background)
{
    RECT client;
    GetClientRect(control, &client);
    Pixels pixels{client.right, client.bottom, {}};
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), pixels.width, -pixels.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateDIBSection(screen, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    SetBkColor(memory, background);
    ExtTextOutW(memory, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
    SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    GdiFlush();
    const auto* bgrx = static_cast<const DWORD*>(bits);
    for (int i = 0; i < pixels.width * pixels.height; ++i)
        pixels.colours.push_back(RGB(bgrx[i] >> 16 & 0xFF, bgrx[i] >> 8 & 0xFF, bgrx[i] & 0xFF));
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return pixels;
}

RECT BoundsOf(const Pixels& pixels, const std::function<bool(COLORREF)>& wanted)
{
    RECT bounds{pixels.width, pixels.height, 0, 0};
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x)
            if (wanted(pixels.At(x, y)))
                bounds = {std::min<LONG>(bounds.left, x), std::min<LONG>(bounds.top, y),
                          std::max<LONG>(bounds.right, x + 1), std::max<LONG>(bounds.bottom, y + 1)};
    return IsRectEmpty(&bounds) ? RECT{} : bounds;
}

int CountOf(const Pixels& pixels, COLORREF colour)
{
    int count = 0;
    for (COLORREF pixel : pixels.colours)
        count += pixel == colour;
    return count;
}
