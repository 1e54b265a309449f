#include "ui/core/ButtonStates.h"

ButtonActions ButtonStates::Move(bool inside)
{
    if (reporting)
        return {};
    const bool oldHover = hover;
    const int oldVisual = visual;
    int newVisual;
    if (inside) {
        newVisual = pressed ? StateDown : StateHot + checked;
    } else {
        // A checked toggle keeps its look when the pointer leaves.
        newVisual = checked == 0 ? StateNormal : visual;
    }
    hover = inside;
    visual = newVisual;
    return {hover != oldHover || visual != oldVisual, inside ? ButtonCursor::Hand : ButtonCursor::Arrow};
}

ButtonActions ButtonStates::Press()
{
    pressed = true;
    visual = StateDown;
    return {true, ButtonCursor::Unchanged};
}

ButtonActions ButtonStates::Release(const std::function<void()>& reportClick)
{
    if (!pressed)
        return {};
    pressed = false;
    if (IsToggle()) {
        if (hover) {
            checked = checked == 0 ? 1 : 0;
            Report(reportClick);
        }
        return {true, ButtonCursor::Unchanged};
    }
    if (hover)
        Report(reportClick);
    // At rest until the pointer moves again, even where it still lies over
    // the button.
    visual = StateNormal;
    hover = false;
    return {true, ButtonCursor::Arrow};
}

void ButtonStates::Report(const std::function<void()>& reportClick)
{
    reporting = true;
    reportClick();
    reporting = false;
}
