#pragma once
// The image button's mouse states, kept apart from the widget so that every
// transition can be driven and checked without a window. Events go in; what
// the widget must do (redraw, which cursor) comes out. Clicks are reported
// through a callback so that the report happens while the button still shows
// its down look.

#include <cstdint>
#include <functional>

enum class ButtonCursor { Unchanged, Hand, Arrow };

struct ButtonActions {
    bool redraw = false;
    ButtonCursor cursor = ButtonCursor::Unchanged;
};

class ButtonStates {
public:
    enum VisualState { StateNormal = 1, StateHot = 2, StateDown = 3 };

    virtual ~ButtonStates() = default;

    // Both bits must be set; a style word with only one of them is not a toggle.
    static constexpr std::uint32_t ToggleStyle = 0x30000;

    // The pointer moved; `inside` is whether it lies in the button's rectangle.
    // Ignored while a click is being reported: a box the parent opens then
    // takes the pointer away, and the button must still look down under it.
    ButtonActions Move(bool inside);
    // Left button went down on the button (a double click counts as another press).
    ButtonActions Press();
    // Left button came up. `reportClick` runs, when the release counts as a
    // click, before the look returns to normal; the button then stays normal
    // (no hover, the arrow cursor) until the next move. A release without a
    // preceding press does nothing.
    ButtonActions Release(const std::function<void()>& reportClick);

    void SetStyle(std::uint32_t style) { this->style = style; }
    std::uint32_t Style() const { return style; }
    int Checked() const { return checked; }
    void SetChecked(int value) { checked = value; }
    int Visual() const { return visual; }
    bool Hover() const { return hover; }
    bool Pressed() const { return pressed; }

private:
    bool IsToggle() const { return (style & ToggleStyle) == ToggleStyle; }
    void Report(const std::function<void()>& reportClick);

    bool hover = false;
    bool pressed = false;
    bool reporting = false;
    std::uint32_t style = 1;
    int visual = StateNormal;
    int checked = 0;
};
