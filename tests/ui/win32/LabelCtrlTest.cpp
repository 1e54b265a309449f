#include "ui/win32/LabelCtrl.h"
#include "ui/win32/Colour.h"
#include "ui/win32/WindowText.h"
#include "ControlsTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const RECT LabelArea{10, 10, 250, 70};
constexpr COLORREF Red = ColourFromRgb(0xDC0000);

// A static control from the given style bits, made a label with red text.
struct TestLabel {
    TestLabel(const TestParent& parent, DWORD style, HFONT font = nullptr)
        : window(parent.AddChild(L"STATIC", L"", style, LabelArea, 1002))
    {
        if (font != nullptr)
            SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        control.Attach(window);
        control.SetTextColor(Red, false);
    }
    ~TestLabel() { DestroyWindow(window); }

    HWND window;
    LabelCtrl control;
};

bool IsText(COLORREF c)
{
    return GetRValue(c) > 120 && GetGValue(c) < 110 && GetBValue(c) < 110;
}

RECT TextBounds(const Pixels& pixels)
{
    return BoundsOf(pixels, IsText);
}

int LineHeight()
{
    const HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    DeleteDC(dc);
    return metrics.tmHeight;
}

TEST(LabelCtrl, StyleBitsPlaceTheText)
{
    enum Horizontal { Left, Centre, Right };
    enum Vertical { Top, Middle };
    struct Case {
        DWORD style;
        Horizontal horizontal;
        Vertical vertical;
    };
    const Case cases[] = {
        {0, Left, Top},
        {SS_CENTER, Centre, Top},
        {SS_RIGHT, Right, Top},
        {SS_CENTERIMAGE, Left, Middle},
        {SS_RIGHT | SS_CENTERIMAGE, Right, Middle},
        {SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX, Centre, Middle},  // other bits do not matter
    };
    TestParent parent;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "style 0x" << std::hex << c.style);
        TestLabel label(parent, c.style);
        label.control.SetText("Delete ok");
        const RECT text = TextBounds(Render(label.window));
        ASSERT_FALSE(IsRectEmpty(&text));
        const int width = LabelArea.right - LabelArea.left;
        const int height = LabelArea.bottom - LabelArea.top;
        const int textWidth = text.right - text.left;
        const int expectedCentre = c.horizontal == Left    ? textWidth / 2
                                   : c.horizontal == Right ? width - textWidth / 2
                                                           : width / 2;
        EXPECT_NEAR((text.left + text.right) / 2, expectedCentre, 5);  // glyphs' side bearings
        if (c.vertical == Top)
            EXPECT_LT(text.top, 8);
        else
            EXPECT_NEAR((text.top + text.bottom) / 2, height / 2, 4);
    }
}

TEST(LabelCtrl, LongTextWrapsFromTheTopUnlessSingleLine)
{
    const std::string longText = "deleting /srv/data/cache/old/files/many/of/them and more and more files here";
    TestParent parent;
    for (DWORD style : {DWORD(0), DWORD(SS_CENTERIMAGE)}) {
        SCOPED_TRACE(style);
        TestLabel label(parent, style);
        label.control.SetText(longText);
        const RECT text = TextBounds(Render(label.window));
        if (style == 0) {
            EXPECT_GT(text.bottom - text.top, LineHeight());
        } else {
            EXPECT_LE(text.bottom - text.top, LineHeight());
            EXPECT_GE(text.right, LabelArea.right - LabelArea.left - 3);  // cut at the edge
        }
    }
}

TEST(LabelCtrl, OnlyOpaqueModeFillsTheTextCells)
{
    const COLORREF cells = GetSysColor(COLOR_BTNFACE);
    ASSERT_NE(cells, ParentColour);
    TestParent parent;
    for (int mode : {LabelCtrl::Opaque, LabelCtrl::Transparent}) {
        SCOPED_TRACE(mode);
        TestLabel label(parent, 0);
        label.control.SetBackgroundMode(mode);
        label.control.SetText("short");
        const Pixels image = Render(label.window);
        EXPECT_EQ(CountOf(image, cells) > 0, mode == LabelCtrl::Opaque);
        EXPECT_EQ(image.At(image.width - 2, image.height - 2), ParentColour);  // beyond the text
        const RECT text = TextBounds(image);
        EXPECT_FALSE(IsRectEmpty(&text));
    }
}

TEST(LabelCtrl, DrawsWithTheCopyOfTheFontItWasAttachedWith)
{
    const HFONT big = CreateFontW(-30, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, nullptr);
    TestParent parent;
    TestLabel label(parent, 0, big);
    DeleteObject(big);  // the label's own copy lives on
    label.control.SetText("H");
    const RECT text = TextBounds(Render(label.window));
    EXPECT_GT(text.bottom - text.top, 18);
}

// A label changes its look by having the parent repaint the area under it
// (and the label on top): exactly that area, whenever the text is set.
TEST(LabelCtrl, ChangesInvalidateExactlyTheParentsAreaUnderTheLabel)
{
    enum Action { SetText, SetSameTextAgain, ColourWithoutRedraw, ColourWithRedraw, Mode };
    const std::pair<Action, bool> cases[] = {
        {SetText, true}, {SetSameTextAgain, true}, {ColourWithoutRedraw, false}, {ColourWithRedraw, true},
        {Mode, false},
    };
    TestParent parent;
    TestLabel label(parent, 0);
    label.control.SetText("运行完成");
    for (auto [action, invalidates] : cases) {
        SCOPED_TRACE(action);
        ValidateRect(parent.Window(), nullptr);
        ValidateRect(label.window, nullptr);
        switch (action) {
        case SetText: label.control.SetText("运行已停止"); break;
        case SetSameTextAgain: label.control.SetText("运行已停止"); break;
        case ColourWithoutRedraw: label.control.SetTextColor(RGB(0, 153, 0), false); break;
        case ColourWithRedraw: label.control.SetTextColor(RGB(0, 153, 0), true); break;
        case Mode: label.control.SetBackgroundMode(LabelCtrl::Transparent); break;
        }
        RECT update{};
        const bool invalid = GetUpdateRect(parent.Window(), &update, FALSE) != FALSE;
        ASSERT_EQ(invalid, invalidates);
        if (invalidates) {
            EXPECT_TRUE(EqualRect(&update, &LabelArea));
            EXPECT_TRUE(GetUpdateRect(label.window, nullptr, FALSE));  // the label paints on top
        }
    }
    EXPECT_EQ(label.control.TextColor(), RGB(0, 153, 0));
    EXPECT_EQ(WindowText(label.window), L"运行已停止");
}

}  // namespace
