#pragma once
// The main window's view in memory: controls are texts and check marks by
// id, and every box, question, folder choice, address and About box is
// recorded. Questions are answered from a queue; one asked with none queued
// fails the test and is answered No.

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/AnswerQueue.h"
#include "ui/core/MainDialogView.h"

class FakeMainView : public MainDialogView {
public:
    std::string ControlText(int id) const override {
        const auto found = texts.find(id);
        return found == texts.end() ? std::string() : found->second;
    }
    void SetControlText(int id, const std::string& text) override { texts[id] = text; }
    bool IsChecked(int id) const override { return checks.count(id) != 0 && checks.at(id); }
    void SetChecked(int id, bool checked) override { checks[id] = checked; }
    void FocusAndSelect(int id) override { focused = id; }
    void SetStatusColour(std::uint32_t rgb) override { statusColour = rgb; }
    void SetStatusText(const std::string& text) override { statusText = text; }
    void Inform(const std::string& text) override { shown.push_back(text); }
    bool Confirm(const std::string& text) override {
        asked.push_back(text);
        return answers.Next(text);
    }
    std::optional<std::string> ChooseFolder(const std::string& title) override {
        chooserTitles.push_back(title);
        return folder;
    }
    void ShowAbout() override { ++aboutShown; }
    void OpenAddress(const std::string& address) override { opened.push_back(address); }
    void Accept() override { accepted = true; }

    std::map<int, std::string> texts;
    std::map<int, bool> checks;
    std::optional<int> focused;
    std::optional<std::uint32_t> statusColour;
    std::string statusText;
    std::vector<std::string> shown;     // OK boxes
    std::vector<std::string> asked;     // Yes/No questions
    AnswerQueue<bool> answers{false};   // true for Yes
    std::optional<std::string> folder;  // what the folder browser returns
    std::vector<std::string> chooserTitles;
    int aboutShown = 0;
    std::vector<std::string> opened;
    bool accepted = false;
};
