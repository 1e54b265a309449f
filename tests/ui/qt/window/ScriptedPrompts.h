#pragma once
// Stands in for the person in front of the window while a test runs: message
// boxes are answered from a queue and recorded, the folder chooser returns a
// prepared answer, and web addresses are recorded instead of opened. A
// question with no answer queued fails the test and is answered No, so no
// test can ever wait on a real box.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/AnswerQueue.h"
#include "ui/qt/FolderChooser.h"
#include "ui/qt/Prompt.h"
#include "ui/qt/UrlOpener.h"

class ScriptedPrompts {
public:
    struct Box {
        std::string text;
        Prompt::Buttons buttons;
    };

    ScriptedPrompts() {
        previousPrompt = Prompt::Replace([this](QWidget*, const std::string& text, Prompt::Buttons buttons) {
            return Answer(text, buttons);
        });
        previousChooser = FolderChooser::Replace([this](QWidget*, const std::string& title) {
            chooserTitles.push_back(title);
            return folder;
        });
        previousOpener = UrlOpener::Replace([this](const std::string& address) { opened.push_back(address); });
    }
    ~ScriptedPrompts() {
        Prompt::Replace(previousPrompt);
        FolderChooser::Replace(previousChooser);
        UrlOpener::Replace(previousOpener);
    }
    ScriptedPrompts(const ScriptedPrompts&) = delete;
    ScriptedPrompts& operator=(const ScriptedPrompts&) = delete;

    // The answer to the next Yes/No question.
    void AnswerNext(Prompt::Answer answer) { answers.Push(answer); }
    // Texts of the boxes shown since the last call, oldest first.
    std::vector<std::string> TakeShown() {
        std::vector<std::string> texts;
        for (const Box& box : boxes) texts.push_back(box.text);
        boxes.clear();
        return texts;
    }

    std::vector<Box> boxes;
    std::optional<std::string> folder;  // what the folder chooser returns
    std::vector<std::string> chooserTitles;
    std::vector<std::string> opened;

private:
    Prompt::Answer Answer(const std::string& text, Prompt::Buttons buttons) {
        boxes.push_back({text, buttons});
        return buttons == Prompt::Buttons::Ok ? Prompt::Answer::Ok : answers.Next(text);
    }

    AnswerQueue<Prompt::Answer> answers{Prompt::Answer::No};
    Prompt::Function previousPrompt;
    FolderChooser::Function previousChooser;
    UrlOpener::Function previousOpener;
};
