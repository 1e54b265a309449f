#include "ui/qt/FieldExchange.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QWidget>

#include "ScriptedPrompts.h"

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
    };
    for (const auto& c : cases) EXPECT_EQ(ParseInteger(c.text), c.value) << '"' << c.text << '"';
}

struct Controls {
    QWidget parent;
    QLineEdit* text = new QLineEdit(&parent);
    QLineEdit* number = new QLineEdit(&parent);
    QCheckBox* check = new QCheckBox(&parent);
    std::vector<QAbstractButton*> radios{new QRadioButton(&parent), new QRadioButton(&parent),
                                         new QRadioButton(&parent)};
};

TEST(RunExchange, StopsAtTheFirstControlThatDoesNotFitAndSaysWhy) {
    ScriptedPrompts prompts;
    Controls c;
    std::string text = "old";
    int number = 5;
    bool check = false;
    int radio = 2;
    const std::vector<ExchangeStep> steps = {TextStep(*c.text, text), IntegerStep(*c.number, number),
                                             CheckStep(*c.check, check), RadioStep(c.radios, radio)};
    c.text->setText("新的");
    c.number->setText("x");
    c.check->setChecked(true);
    c.radios[0]->setChecked(true);

    EXPECT_FALSE(RunExchange(steps, ExchangeDirection::ToFields, &c.parent));
    EXPECT_EQ(text, "新的");
    EXPECT_EQ(number, 5);
    EXPECT_FALSE(check);
    EXPECT_EQ(radio, 2);
    EXPECT_EQ(prompts.TakeShown(), std::vector<std::string>{NotIntegerText});
    EXPECT_EQ(c.number->selectedText(), "x");

    c.number->setText("9");
    EXPECT_TRUE(RunExchange(steps, ExchangeDirection::ToFields, &c.parent));
    EXPECT_EQ(number, 9);
    EXPECT_TRUE(check);
    EXPECT_EQ(radio, 0);
    EXPECT_TRUE(prompts.TakeShown().empty());
}

TEST(RunExchange, FillsTheControlsFromTheFields) {
    Controls c;
    std::string text = "D:\\数据";
    int number = -3;
    bool check = true;
    int radio = 1;
    const std::vector<ExchangeStep> steps = {TextStep(*c.text, text), IntegerStep(*c.number, number),
                                             CheckStep(*c.check, check), RadioStep(c.radios, radio)};
    EXPECT_TRUE(RunExchange(steps, ExchangeDirection::ToControls, &c.parent));
    EXPECT_EQ(c.text->text(), QString::fromUtf8("D:\\数据"));
    EXPECT_EQ(c.number->text(), "-3");
    EXPECT_TRUE(c.check->isChecked());
    EXPECT_TRUE(c.radios[1]->isChecked());
}

TEST(RunExchange, ASpeedOutsideTheGroupChecksNoneAndReadsBackAsMinusOne) {
    Controls c;
    for (int outside : {-1, 3, 7, -100}) {
        int radio = 1;
        const std::vector<ExchangeStep> steps = {RadioStep(c.radios, radio)};
        RunExchange(steps, ExchangeDirection::ToControls, &c.parent);
        ASSERT_TRUE(c.radios[1]->isChecked());
        radio = outside;
        RunExchange(steps, ExchangeDirection::ToControls, &c.parent);
        for (QAbstractButton* button : c.radios) EXPECT_FALSE(button->isChecked()) << outside;
        radio = 0;
        RunExchange(steps, ExchangeDirection::ToFields, &c.parent);
        EXPECT_EQ(radio, -1) << outside;
        // The group still behaves as one after being emptied.
        c.radios[2]->click();
        c.radios[0]->click();
        EXPECT_FALSE(c.radios[2]->isChecked()) << outside;
    }
}

}  // namespace
