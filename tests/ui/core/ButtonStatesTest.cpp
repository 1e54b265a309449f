#include "ui/core/ButtonStates.h"

#include <gtest/gtest.h>

#include <optional>
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

// A fresh button, its style and checked state set first where a row gives
// them, through the row's steps; then, where the row gives them, its checked
// state and its look when the click was reported.
struct Sequence {
    const char* name;
    std::vector<Step> steps;
    std::optional<std::uint32_t> style = {};
    std::optional<int> checked = {};
    std::optional<int> checkedAfter = {};
    std::optional<int> visualAtClick = {};
};

TEST(ButtonStates, EachSequenceShowsWhatItsStepsSay)
{
    const std::vector<Step> ordinaryClick = {
        {Event::In, 2, true, false, true, Hand, 0},
        {Event::Press, 3, true, true, true, Same, 0},
        {Event::Release, 1, false, false, true, Arrow, 1},
    };
    const Sequence sequences[] = {
        {.name = "hover comes and goes with the hand cursor", .steps = {
            {Event::In, 2, true, false, true, Hand, 0},
            {Event::In, 2, true, false, false, Hand, 0},
            {Event::Out, 1, false, false, true, Arrow, 0},
            {Event::Out, 1, false, false, false, Arrow, 0},
        }},
        {.name = "press, drag out and back in, then release: one click", .steps = {
            {Event::In, 2, true, false, true, Hand, 0},
            {Event::Press, 3, true, true, true, Same, 0},
            {Event::Out, 1, false, true, true, Arrow, 0},
            {Event::In, 3, true, true, true, Hand, 0},
            {Event::Release, 1, false, false, true, Arrow, 1},
        }, .visualAtClick = ButtonStates::StateDown},
        {.name = "press, drag out and release outside: no click", .steps = {
            {Event::In, 2, true, false, true, Hand, 0},
            {Event::Press, 3, true, true, true, Same, 0},
            {Event::Out, 1, false, true, true, Arrow, 0},
            {Event::Release, 1, false, false, true, Arrow, 0},
        }},
        {.name = "a release without a press is swallowed", .steps = {
            {Event::In, 2, true, false, true, Hand, 0},
            {Event::Release, 2, true, false, false, Same, 0},
        }},
        // A double click arrives as press, release, press, release. A click leaves
        // the button at rest, arrow cursor included, until the pointer is seen
        // inside again; only then does the second release click as well.
        {.name = "the second press of a double click clicks again", .steps = {
            {Event::In, 2, true, false, true, Hand, 0},
            {Event::Press, 3, true, true, true, Same, 0},
            {Event::Release, 1, false, false, true, Arrow, 1},
            {Event::In, 2, true, false, true, Hand, 1},
            {Event::Press, 3, true, true, true, Same, 1},
            {Event::Release, 1, false, false, true, Arrow, 2},
        }},
        {.name = "a toggle released outside stays as it was", .steps = {
            {Event::In, 2, true, false, true, Hand, 0},
            {Event::Press, 3, true, true, true, Same, 0},
            {Event::Out, 1, false, true, true, Arrow, 0},
            {Event::Release, 1, false, false, true, Same, 0},
        }, .style = ButtonStates::ToggleStyle | 1, .checkedAfter = 0},
        // One toggle bit alone is an ordinary button.
        {.name = "toggle bit 0x10000 alone", .steps = ordinaryClick, .style = 0x10001u, .checkedAfter = 0},
        {.name = "toggle bit 0x20000 alone", .steps = ordinaryClick, .style = 0x20001u, .checkedAfter = 0},
        {.name = "a checked ordinary button looks down while hot and keeps it outside",
         .steps = {{Event::In, 3, true, false, true, Hand, 0}, {Event::Out, 3, false, false, true, Arrow, 0}},
         .checked = 1},
    };
    for (const Sequence& sequence : sequences) {
        SCOPED_TRACE(sequence.name);
        Runner runner;
        if (sequence.style) runner.states.SetStyle(*sequence.style);
        if (sequence.checked) runner.states.SetChecked(*sequence.checked);
        runner.Run(sequence.steps);
        if (sequence.checkedAfter) {
            EXPECT_EQ(runner.states.Checked(), *sequence.checkedAfter);
        }
        if (sequence.visualAtClick) {
            EXPECT_EQ(runner.visualAtClick, *sequence.visualAtClick);
        }
    }
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

}  // namespace
