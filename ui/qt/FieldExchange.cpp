#include "ui/qt/FieldExchange.h"

#include <QAbstractButton>
#include <QLineEdit>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "ui/qt/Prompt.h"

namespace {

std::string TextOf(const QLineEdit& edit) { return edit.text().toLocal8Bit().toStdString(); }

void SetTextOf(QLineEdit& edit, const std::string& text) { edit.setText(QString::fromLocal8Bit(text.c_str())); }

// An auto-exclusive group refuses to uncheck its checked button, so each one
// leaves the group for a moment.
void UncheckAll(const std::vector<QAbstractButton*>& group) {
    for (QAbstractButton* button : group) {
        const bool exclusive = button->autoExclusive();
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(exclusive);
    }
}

int CheckedIndex(const std::vector<QAbstractButton*>& group) {
    for (size_t i = 0; i < group.size(); ++i) {
        if (group[i]->isChecked()) return static_cast<int>(i);
    }
    return -1;
}

bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

}  // namespace

ExchangeStep TextStep(QLineEdit& edit, std::string& field) {
    auto transfer = [&edit, &field](ExchangeDirection direction) {
        if (direction == ExchangeDirection::ToFields) field = TextOf(edit);
        else SetTextOf(edit, field);
        return true;
    };
    return {&edit, transfer, ""};
}

ExchangeStep CheckStep(QAbstractButton& box, bool& field) {
    auto transfer = [&box, &field](ExchangeDirection direction) {
        if (direction == ExchangeDirection::ToFields) field = box.isChecked();
        else box.setChecked(field);
        return true;
    };
    return {&box, transfer, ""};
}

ExchangeStep IntegerStep(QLineEdit& edit, int& field) {
    auto transfer = [&edit, &field](ExchangeDirection direction) {
        if (direction == ExchangeDirection::ToControls) {
            SetTextOf(edit, std::to_string(field));
            return true;
        }
        const std::optional<int> value = ParseInteger(TextOf(edit));
        if (value) field = *value;
        return value.has_value();
    };
    return {&edit, transfer, NotIntegerText};
}

ExchangeStep RadioStep(std::vector<QAbstractButton*> group, int& field) {
    auto transfer = [group, &field](ExchangeDirection direction) {
        if (direction == ExchangeDirection::ToFields) {
            field = CheckedIndex(group);
        } else if (field >= 0 && field < static_cast<int>(group.size())) {
            group[field]->setChecked(true);
        } else {
            UncheckAll(group);
        }
        return true;
    };
    return {group.front(), transfer, ""};
}

bool RunExchange(const std::vector<ExchangeStep>& steps, ExchangeDirection direction, QWidget* owner) {
    for (const ExchangeStep& step : steps) {
        if (step.transfer(direction)) continue;
        Prompt::Inform(owner, step.failText);
        step.control->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(step.control)) edit->selectAll();
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
