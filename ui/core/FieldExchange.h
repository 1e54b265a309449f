#pragma once
// Transfers between the window's controls and its fields, one control at a
// time in a fixed order. Towards the fields, a control whose text does not
// fit its field stops the transfer there: the fields after it keep their
// previous values.

#include <functional>
#include <optional>
#include <string>
#include <vector>

class MainDialogView;

enum class ExchangeDirection { ToControls, ToFields };

inline constexpr const char* NotIntegerText = "请输入一个整数。";

struct ExchangeStep {
    int control;  // template id
    // False when, towards the fields, the control's content does not fit.
    std::function<bool(MainDialogView&, ExchangeDirection)> transfer;
    const char* failText;  // what the user is told when the transfer fails
};

ExchangeStep TextStep(int edit, std::string& field);
ExchangeStep CheckStep(int box, bool& field);
ExchangeStep IntegerStep(int edit, int& field);
// The radio buttons `first` to `first + count - 1`; `field` is the index of
// the checked one, -1 when none is; an index outside the group checks none.
ExchangeStep RadioStep(int first, int count, int& field);

// Runs the steps in order. Towards the fields it stops at the first step that
// fails, tells the user why, puts the focus on that control (selecting its
// text) and returns false.
bool RunExchange(const std::vector<ExchangeStep>& steps, ExchangeDirection direction, MainDialogView& view);

// Blanks around an optional sign and at least one digit, within int range.
std::optional<int> ParseInteger(const std::string& text);
