#include "ui/core/FieldExchange.h"

#include <gtest/gtest.h>

#include "FakeMainView.h"

namespace {

TEST(ParseInteger, AcceptsWholeNumbersOnly) {
    const struct {
        const char* text;
        std::optional<int> value;
    } cases[] = {
        {"0", 0},           {"7", 7},
        {"007", 7},         {" 12 ", 12},
        {"-3", -3},         {"+4", 4},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"", std::nullopt}, {"   ", std::nullopt},
        {"-", std::nullopt}, {"1a", std::nullopt},
        {"a1", std::nullopt}, {"1.5", std::nullopt},
        {"1 2", std::nullopt}, {"0x10", std::nullopt},
        {"2147483648", std::nullopt}, {"99999999999999999999", std::nullopt},
        {"十", std::nullopt},
        // Longer than a text held inside the string: nothing may be read before it.
        {"no number of days given", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseInteger(c.text), c.value) << '"' << c.text << '"';
}

enum Id { Text = 1, Number, Check, Radio0, Radio1, Radio2 };

struct Fields {
    std::string text = "old";
    int number = 5;
    bool check = false;
    int radio = 1;

    std::vector<ExchangeStep> Steps() {
        return {TextStep(Text, text), IntegerStep(Number, number), CheckStep(Check, check),
                RadioStep(Radio0, 3, radio)};
    }
};

TEST(RunExchange, StopsAtTheFirstControlThatDoesNotFitAndSaysWhy) {
    FakeMainView view;
    Fields f;
    view.texts = {{Text, "新的"}, {Number, "x"}};
    view.checks = {{Check, true}, {Radio2, true}};

    EXPECT_FALSE(RunExchange(f.Steps(), ExchangeDirection::ToFields, view));
    EXPECT_EQ(f.text, "新的");
    EXPECT_EQ(f.number, 5);
    EXPECT_FALSE(f.check);
    EXPECT_EQ(f.radio, 1);
    EXPECT_EQ(view.shown, std::vector<std::string>{NotIntegerText});
    EXPECT_EQ(view.focused, Number);

    view.shown.clear();
    view.texts[Number] = "9";
    EXPECT_TRUE(RunExchange(f.Steps(), ExchangeDirection::ToFields, view));
    EXPECT_EQ(f.number, 9);
    EXPECT_TRUE(f.check);
    EXPECT_EQ(f.radio, 2);  // the group's third, counted from its first
    EXPECT_TRUE(view.shown.empty());
}

TEST(RunExchange, FillsTheControlsFromTheFields) {
    FakeMainView view;
    Fields f{"D:\\数据", -3, true, 1};
    EXPECT_TRUE(RunExchange(f.Steps(), ExchangeDirection::ToControls, view));
    EXPECT_EQ(view.texts[Text], "D:\\数据");
    EXPECT_EQ(view.texts[Number], "-3");
    EXPECT_EQ(view.checks, (std::map<int, bool>{{Check, true}, {Radio0, false}, {Radio1, true}, {Radio2, false}}));
}

TEST(RunExchange, ASpeedOutsideTheGroupChecksNoneAndReadsBackAsMinusOne) {
    for (int outside : {-1, 3, 7, -100}) {
        FakeMainView view;
        int radio = 1;
        const std::vector<ExchangeStep> steps = {RadioStep(Radio0, 3, radio)};
        RunExchange(steps, ExchangeDirection::ToControls, view);
        ASSERT_TRUE(view.IsChecked(Radio1));
        radio = outside;
        RunExchange(steps, ExchangeDirection::ToControls, view);
        for (int id : {Radio0, Radio1, Radio2}) EXPECT_FALSE(view.IsChecked(id)) << outside;
        radio = 0;
        RunExchange(steps, ExchangeDirection::ToFields, view);
        EXPECT_EQ(radio, -1) << outside;
    }
}

}  // namespace
