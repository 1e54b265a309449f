#pragma once
// Transfers between the window's controls and its fields, one control at a
// time in a fixed order. Towards the fields, a control whose text does not
// fit its field stops the transfer there: the fields after it keep their
// previous values.

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAbstractButton;
class QLineEdit;
class QWidget;

enum class ExchangeDirection { ToControls, ToFields };

inline constexpr const char* NotIntegerText = "请输入一个整数。";

struct ExchangeStep {
    QWidget* control;
    // False when, towards the fields, the control's content does not fit.
    std::function<bool(ExchangeDirection)> transfer;
    const char* failText;  // what the user is told when the transfer fails
};

ExchangeStep TextStep(QLineEdit& edit, std::string& field);
ExchangeStep CheckStep(QAbstractButton& box, bool& field);
ExchangeStep IntegerStep(QLineEdit& edit, int& field);
// `field` is the index of the checked button, -1 when none is; an index
// outside the group checks none.
ExchangeStep RadioStep(std::vector<QAbstractButton*> group, int& field);

// Runs the steps in order. Towards the fields it stops at the first step that
// fails, tells the user why in a box owned by `owner`, puts the focus on that
// control (selecting its text) and returns false.
bool RunExchange(const std::vector<ExchangeStep>& steps, ExchangeDirection direction, QWidget* owner);

// Blanks around an optional sign and at least one digit, within int range.
std::optional<int> ParseInteger(const std::string& text);
