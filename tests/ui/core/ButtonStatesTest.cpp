#include "ui/core/ButtonStates.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

enum class Event { In, Out, Press, Release };

struct Step {
    Event event;
    int visual;
    bool hover;
    bool pressed;
    bool redraw;
    ButtonCursor cursor;
    int clicks;  // reported so far
};

constexpr ButtonCursor Hand = ButtonCursor::Hand;
constexpr ButtonCursor Arrow = ButtonCursor::Arrow;
constexpr ButtonCursor Same = ButtonCursor::Unchanged;

struct Runner {
    ButtonStates states;
    int clicks = 0;
    int visualAtClick = 0;

    ButtonActions Apply(Event event)
    {
        switch (event) {
        case Event::In: return states.Move(true);
        case Event::Out: return states.Move(false);
        case Event::Press: return states.Press();
        case Event::Release:
            return states.Release([this] {
                ++clicks;
                visualAtClick = states.Visual();
            });
        }
        return {};
    }

    void Run(const std::vector<Step>& steps)
    {
        for (size_t i = 0; i < steps.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "step " << i);
            const Step& s = steps[i];
            const ButtonActions actions = Apply(s.event);
            EXPECT_EQ(states.Visual(), s.visual);
            EXPECT_EQ(states.Hover(), s.hover);
            EXPECT_EQ(states.Pressed(), s.pressed);
            EXPECT_EQ(actions.redraw, s.redraw);
            EXPECT_EQ(actions.cursor, s.cursor);
            EXPECT_EQ(clicks, s.clicks);
        }
    }
};

TEST(ButtonStates, HoverComesAndGoesWithTheHandCursor)
{
    Runner().Run({
        {Event::In, 2, true, false, true, Hand, 0},
        {Event::In, 2, true, false, false, Hand, 0},
        {Event::Out, 1, false, false, true, Arrow, 0},
        {Event::Out, 1, false, false, false, Arrow, 0},
    });
}

TEST(ButtonStates, PressDragOutAndBackInThenReleaseClicksOnce)
{
    Runner runner;
    runner.Run({
        {Event::In, 2, true, false, true, Hand, 0},
        {Event::Press, 3, true, true, true, Same, 0},
        {Event::Out, 1, false, true, true, Arrow, 0},
        {Event::In, 3, true, true, true, Hand, 0},
        {Event::Release, 1, false, false, true, Arrow, 1},
    });
    EXPECT_EQ(runner.visualAtClick, ButtonStates::StateDown);
}

TEST(ButtonStates, PressDragOutAndReleaseOutsideDoesNotClick)
{
    Runner().Run({
        {Event::In, 2, true, false, true, Hand, 0},
        {Event::Press, 3, true, true, true, Same, 0},
        {Event::Out, 1, false, true, true, Arrow, 0},
        {Event::Release, 1, false, false, true, Arrow, 0},
    });
}

TEST(ButtonStates, ReleaseWithoutPressIsSwallowed)
{
    Runner().Run({
        {Event::In, 2, true, false, true, Hand, 0},
        {Event::Release, 2, true, false, false, Same, 0},
    });
}

// A double click arrives as press, release, press, release. A click leaves
// the button at rest, arrow cursor included, until the pointer is seen
// inside again; only then does the second release click as well.
TEST(ButtonStates, SecondPressOfADoubleClickClicksAgain)
{
    Runner().Run({
        {Event::In, 2, true, false, true, Hand, 0},
        {Event::Press, 3, true, true, true, Same, 0},
        {Event::Release, 1, false, false, true, Arrow, 1},
        {Event::In, 2, true, false, true, Hand, 1},
        {Event::Press, 3, true, true, true, Same, 1},
        {Event::Release, 1, false, false, true, Arrow, 2},
    });
}

TEST(ButtonStates, ToggleFlipsOnReleaseOverTheButtonAndKeepsItsLook)
{
    Runner runner;
    runner.states.SetStyle(ButtonStates::ToggleStyle | 1);
    runner.Run({
        {Event::In, 2, true, false, true, Hand, 0},
        {Event::Press, 3, true, true, true, Same, 0},
        {Event::Release, 3, true, false, true, Same, 1},
    });
    EXPECT_EQ(runner.states.Checked(), 1);
    runner.Run({
        {Event::In, 3, true, false, false, Hand, 1},   // hot is 2 plus checked
        {Event::Out, 3, false, false, true, Arrow, 1}, // checked keeps its look outside
        {Event::In, 3, true, false, true, Hand, 1},
        {Event::Press, 3, true, true, true, Same, 1},
        {Event::Release, 3, true, false, true, Same, 2},
    });
    EXPECT_EQ(runner.states.Checked(), 0);
    runner.Run({{Event::In, 2, true, false, true, Hand, 2}});
}

TEST(ButtonStates, ToggleReleasedOutsideStaysAsItWas)
{
    Runner runner;
    runner.states.SetStyle(ButtonStates::ToggleStyle | 1);
    runner.Run({
        {Event::In, 2, true, false, true, Hand, 0},
        {Event::Press, 3, true, true, true, Same, 0},
        {Event::Out, 1, false, true, true, Arrow, 0},
        {Event::Release, 1, false, false, true, Same, 0},
    });
    EXPECT_EQ(runner.states.Checked(), 0);
}

TEST(ButtonStates, OneToggleBitAloneIsAnOrdinaryButton)
{
    for (std::uint32_t style : {0x10001u, 0x20001u}) {
        SCOPED_TRACE(style);
        Runner runner;
        runner.states.SetStyle(style);
        runner.Run({
            {Event::In, 2, true, false, true, Hand, 0},
            {Event::Press, 3, true, true, true, Same, 0},
            {Event::Release, 1, false, false, true, Arrow, 1},
        });
        EXPECT_EQ(runner.states.Checked(), 0);
    }
}

TEST(ButtonStates, CheckedOrdinaryButtonLooksDownWhileHotAndKeepsItOutside)
{
    Runner runner;
    runner.states.SetChecked(1);
    runner.Run({{Event::In, 3, true, false, true, Hand, 0}, {Event::Out, 3, false, false, true, Arrow, 0}});
}

}  // namespace
