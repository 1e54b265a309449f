#include "ui/win32/ImageButton.h"
#include "ControlsTestSupport.h"
#include "support/ButtonLook.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int BlueKey = ButtonStyle::KeyFromRgb(0, 0, 255);
constexpr COLORREF PureBlue = RGB(0, 0, 255);
constexpr LPARAM Centre = MAKELPARAM(22, 15);
constexpr LPARAM Outside = MAKELPARAM(60, 15);

// A 45 x 30 push button made an image button, its picture (when it has
// one) left of an empty caption: a 24 x 24 picture then sits at (9, 3).
struct TestButton {
    TestButton(const TestParent& parent, const wchar_t* caption = L"", int width = 45)
        : window(parent.AddChild(L"BUTTON", caption, BS_PUSHBUTTON, {10, 10, 10 + width, 40}, 1001))
    {
        control.Attach(window);
        control.SetLayout(ImageLeftOfCaption);
    }
    ~TestButton() { DestroyWindow(window); }
    void Send(UINT message, LPARAM position) const
    {
        SendMessageW(window, message, message == WM_MOUSEMOVE ? 0 : MK_LBUTTON, position);
    }

    HWND window;
    ImageButton control;
};

using ButtonStyle::Frame;

Frame FrameIn(const Pixels& image)
{
    return FrameAt([&](int x, int y) { return image.At(x, y); }, image.width, image.height,
                   GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW));
}

const COLORREF Face = GetSysColor(COLOR_BTNFACE);

// The frame the mode and the check state decide is the one drawn, one case
// for each frame; hover and clicks draw theirs in the tests below.
TEST(ImageButton, FrameModeAndCheckedStateReachTheDrawing)
{
    ASSERT_NE(GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW));
    TestParent parent;
    for (const FrameCase& c : FrameCases) {
        SCOPED_TRACE(testing::Message() << "style " << c.style << " held " << c.held << " checked " << c.checked);
        TestButton button(parent);
        button.control.SetFrameStyle(c.style);
        button.control.SetChecked(c.checked);
        if (c.held) {
            button.Send(WM_MOUSEMOVE, Centre);
            button.Send(WM_LBUTTONDOWN, Centre);
        }
        EXPECT_EQ(FrameIn(Render(button.window)), c.expected);
    }
}

TEST(ImageButton, ClicksAreReportedExactlyForReleasesOverTheButton)
{
    TestParent parent;
    for (const ClickCase& c : ClickCases()) {
        SCOPED_TRACE(c.name);
        TestButton button(parent);
        std::vector<Frame> framesDuringClicks;
        parent.clicks = 0;
        parent.onClick = [&](HWND clicked) {
            EXPECT_EQ(clicked, button.window);
            button.Send(WM_MOUSEMOVE, Outside);
            framesDuringClicks.push_back(FrameIn(Render(button.window)));
        };
        for (Pointer event : c.events) {
            const UINT messages[] = {WM_MOUSEMOVE, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONUP,
                                     WM_LBUTTONDBLCLK};
            const bool away = event == Pointer::Out || event == Pointer::UpOutside;
            button.Send(messages[static_cast<int>(event)], away ? Outside : Centre);
        }
        EXPECT_EQ(parent.clicks, c.clicks);
        EXPECT_EQ(framesDuringClicks, std::vector<Frame>(c.clicks, Frame::Sunken));
        EXPECT_EQ(FrameIn(Render(button.window)), c.frameAfter);
        EXPECT_EQ(GetCapture() == button.window, c.hotAfter);
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, c.hotAfter ? IDC_HAND : IDC_ARROW));
        parent.onClick = nullptr;
    }
}

TEST(ImageButton, ToggleButtonFlipsOnEachClickAndShowsTheCheckedFace)
{
    TestParent parent;
    TestButton button(parent);
    button.control.SetFrameStyle(ButtonStyle::FrameOnHover | ButtonStyle::ToggleStyle);
    const COLORREF checkedFace = RGB(224, 224, 224);
    for (int expected : {1, 0, 1}) {
        button.Send(WM_MOUSEMOVE, Centre);
        button.Send(WM_LBUTTONDOWN, Centre);
        button.Send(WM_LBUTTONUP, Centre);
        EXPECT_EQ(button.control.GetChecked(), expected);
        const Pixels image = Render(button.window);
        EXPECT_EQ(image.At(2, 2), expected != 0 ? checkedFace : Face);
        // Down as at the release until the pointer moves: then hot, or down
        // for as long as it is checked.
        EXPECT_EQ(FrameIn(image), Frame::Sunken);
        button.Send(WM_MOUSEMOVE, Centre);
        EXPECT_EQ(FrameIn(Render(button.window)), expected != 0 ? Frame::Sunken : Frame::Raised);
    }
    EXPECT_EQ(parent.clicks, 3);
    button.Send(WM_MOUSEMOVE, Outside);  // a checked toggle keeps its look
    EXPECT_EQ(FrameIn(Render(button.window)), Frame::Sunken);
}

TEST(ImageButton, KeyColourLeavesOnlyThePictureAndNoKeyCopiesItWhole)
{
    TestParent parent;
    TestButton button(parent);
    button.control.SetImage(ButtonStyle::ImageNormal, StartBitmapId, BlueKey);
    const Pixels keyed = Render(button.window);
    EXPECT_EQ(keyed.At(9, 3), Face);  // the bitmap's corner
    EXPECT_EQ(CountOf(keyed, PureBlue), 0);
    EXPECT_NE(keyed.At(9 + 12, 3 + 12), Face);  // the picture itself

    button.control.SetImage(ButtonStyle::ImageNormal, StartBitmapId, ButtonStyle::NoTransparentKey);
    const Pixels opaque = Render(button.window);
    EXPECT_EQ(opaque.At(9, 3), PureBlue);
    EXPECT_EQ(opaque.At(9 + 23, 3 + 23), PureBlue);
    EXPECT_NE(opaque.At(8, 3), PureBlue);
    EXPECT_NE(opaque.At(9 + 24, 3 + 23), PureBlue);
}

TEST(ImageButton, ImageShownFollowsKindHoverAndLoad)
{
    TestParent parent;
    for (const PictureCase& c : PictureCases) {
        SCOPED_TRACE(&c - PictureCases);
        TestButton button(parent);
        for (const auto& [kind, bitmap] : c.images)
            button.control.SetImage(kind, bitmap, BlueKey);
        if (c.over)
            button.Send(WM_MOUSEMOVE, Centre);
        const COLORREF middle = Render(button.window).At(9 + 12, 3 + 12);
        EXPECT_EQ(SeenIn(middle == Face, GetRValue(middle), GetGValue(middle)), c.seen);
    }
}

// The caption is drawn in black on the side of the picture the layout names.
TEST(ImageButton, CaptionStandsOnTheLayoutsSideOfThePicture)
{
    TestParent parent;
    TestButton button(parent, L"Start", 90);
    button.control.SetImage(ButtonStyle::ImageNormal, StartBitmapId, BlueKey);
    for (int layout : {ImageLeftOfCaption, CaptionLeftOfImage}) {
        SCOPED_TRACE(layout);
        button.control.SetLayout(layout);
        const RECT dark = BoundsOf(Render(button.window), [](COLORREF c) {
            return GetRValue(c) < 60 && GetGValue(c) < 60 && GetBValue(c) < 60;
        });
        ASSERT_FALSE(IsRectEmpty(&dark));
        if (layout == ImageLeftOfCaption)
            EXPECT_GT(dark.left, 45 - 5);
        else
            EXPECT_LT(dark.right, 45 + 5);
    }
}

// The tooltip window the button made, found among the test's windows.
HWND TooltipOf(HWND owner)
{
    struct Search {
        HWND owner;
        HWND found = nullptr;
    } search{owner};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (std::wstring(name) == TOOLTIPS_CLASSW && GetWindow(window, GW_OWNER) == s->owner)
                s->found = window;
            return s->found == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST(ImageButton, TooltipHasOneToolWhoseTextTheSecondCallReplaces)
{
    TestParent parent;
    TestButton button(parent);
    button.control.SetTooltipText(nullptr, true);
    EXPECT_EQ(TooltipOf(parent.Window()), nullptr);

    button.control.SetTooltipText("开始", true);
    SetWindowPos(button.window, nullptr, 0, 0, 90, 30, SWP_NOMOVE | SWP_NOZORDER);
    button.control.SetTooltipText("停止", true);
    button.control.SetTooltipText(nullptr, false);
    const HWND tip = TooltipOf(parent.Window());
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0), 400);
    wchar_t text[80] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = button.window;
    tool.uId = 1;
    tool.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::wstring(text), L"停止");
    ASSERT_TRUE(SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_EQ(tool.rect.right, 45);  // the rectangle from the first call
}

}  // namespace
