#include "ui/core/FieldExchange.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "ui/core/MainDialogView.h"

namespace {

int CheckedIndex(const MainDialogView& view, int first, int count) {
    for (int i = 0; i < count; ++i) {
        if (view.IsChecked(first + i)) return i;
    }
    return -1;
}

bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

}  // namespace

ExchangeStep TextStep(int edit, std::string& field) {
    auto transfer = [edit, &field](MainDialogView& view, ExchangeDirection direction) {
        if (direction == ExchangeDirection::ToFields) field = view.ControlText(edit);
        else view.SetControlText(edit, field);
        return true;
    };
    return {edit, transfer, ""};
}

ExchangeStep CheckStep(int box, bool& field) {
    auto transfer = [box, &field](MainDialogView& view, ExchangeDirection direction) {
        if (direction == ExchangeDirection::ToFields) field = view.IsChecked(box);
        else view.SetChecked(box, field);
        return true;
    };
    return {box, transfer, ""};
}

ExchangeStep IntegerStep(int edit, int& field) {
    auto transfer = [edit, &field](MainDialogView& view, ExchangeDirection direction) {
        if (direction == ExchangeDirection::ToControls) {
            view.SetControlText(edit, std::to_string(field));
            return true;
        }
        const std::optional<int> value = ParseInteger(view.ControlText(edit));
        if (value) field = *value;
        return value.has_value();
    };
    return {edit, transfer, NotIntegerText};
}

// Every button of the group is set, checked or not, so that a value outside
// the group leaves none checked whatever the toolkit does with groups.
ExchangeStep RadioStep(int first, int count, int& field) {
    auto transfer = [first, count, &field](MainDialogView& view, ExchangeDirection direction) {
        if (direction == ExchangeDirection::ToFields) {
            field = CheckedIndex(view, first, count);
            return true;
        }
        for (int i = 0; i < count; ++i) view.SetChecked(first + i, i == field);
        return true;
    };
    return {first, transfer, ""};
}

bool RunExchange(const std::vector<ExchangeStep>& steps, ExchangeDirection direction, MainDialogView& view) {
    for (const ExchangeStep& step : steps) {
        if (step.transfer(view, direction)) continue;
        view.Inform(step.failText);
        view.FocusAndSelect(step.control);
        return false;
    }
    return true;
}

std::optional<int> ParseInteger(const std::string& text) {
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(begin, &end, 10);
    const bool hasDigits = end != begin && std::isdigit(static_cast<unsigned char>(end[-1]));
    if (!hasDigits || errno == ERANGE || value < INT_MIN || value > INT_MAX) return std::nullopt;
    while (*end != '\0' && IsBlank(*end)) ++end;
    if (*end != '\0') return std::nullopt;
    return static_cast<int>(value);
}
